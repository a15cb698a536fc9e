#include "app/SettingsFileText.h"

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/ControlCharacters.h"
#include "platform/Text.h"

namespace {

// Lines end at line feeds; empty lines are skipped. A carriage return that
// ends a line is dropped: a file edited on Windows must not put one at the
// end of every value (a password sent as "user:pass\r").
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Everything after the key's length, whatever the key's letters are. Values
// are UTF-8 in the file; older files in an 8-bit code page read one
// character per byte.
std::wstring ValueAfter(std::string_view line, std::string_view key) {
  if (line.size() <= key.size()) return {};
  return platform::DecodeExternal(line.substr(key.size()));
}

// "Key=%d": the key must match, then optional blanks, a sign and digits.
// A line that does not match, or a number beyond the 32-bit range, gives
// nothing.
std::optional<int> ReadNumber(std::string_view line, std::string_view key) {
  if (line.substr(0, key.size()) != key) return std::nullopt;
  const std::string rest(line.substr(key.size()));
  const char* begin = rest.c_str();
  while (*begin == ' ' || *begin == '\t') ++begin;
  char* end = nullptr;
  const long long parsed = std::strtoll(begin, &end, 10);
  if (end == begin || parsed < INT32_MIN || parsed > INT32_MAX) return std::nullopt;
  return static_cast<int>(parsed);
}

class LineCursor {
 public:
  explicit LineCursor(std::vector<std::string_view> lines) : m_lines(std::move(lines)) {}
  bool HasCurrent() const { return m_index < m_lines.size(); }
  std::string_view Current() const { return HasCurrent() ? m_lines[m_index] : std::string_view(); }
  bool StartsSection(std::string_view header) const { return HasCurrent() && Current().substr(0, header.size()) == header; }
  // Moves on; answers whether there is a new current line.
  bool Next() {
    if (m_index < m_lines.size()) ++m_index;
    return HasCurrent();
  }
  // Moves on and answers the value after `key` when there is a line.
  std::optional<std::wstring> NextValue(std::string_view key) {
    if (!Next()) return std::nullopt;
    return ValueAfter(Current(), key);
  }
  std::optional<int> NextNumber(std::string_view key) {
    if (!Next()) return std::nullopt;
    return ReadNumber(Current(), key);
  }

 private:
  std::vector<std::string_view> m_lines;
  size_t m_index = 0;
};

void Append(std::string& out, std::string_view key, const std::optional<std::wstring>& value) {
  out.append(key);
  if (value && !platform::HasControlCharacter(*value)) out.append(platform::NarrowLocal(*value));
  out.push_back('\n');
}

}  // namespace

SettingsFileValues ParseSettingsFile(std::string_view text) {
  // The text ends at a zero byte, as it always has for this file.
  text = text.substr(0, text.find('\0'));
  LineCursor lines(SplitLines(text));
  SettingsFileValues v;
  if (lines.StartsSection("[NtripCaster]")) {
    v.hostPort = lines.NextValue("IP Port=");
    v.userPassword = lines.NextValue("Password=");
    v.attempts = lines.NextNumber("Attemps=");
    v.time = lines.NextNumber("Time=");
    lines.Next();
  }
  if (lines.StartsSection("[Settings]")) {
    v.output = lines.NextNumber("Output=");
    lines.Next();
  }
  if (lines.StartsSection("[COM-Port]")) {
    v.port = lines.NextValue("COM-Port=");
    v.baud = lines.NextValue("Baudrate=");
    v.dataBits = lines.NextValue("Databits=");
    v.parity = lines.NextValue("Parity=");
    v.stopBits = lines.NextValue("Stop Bits=");
    lines.Next();
  }
  if (lines.StartsSection("[GNSS]")) {
    v.mountPoint = lines.NextValue("Mount Point=");
    v.network = lines.NextValue("Network=");
    lines.Next();
  }
  if (lines.StartsSection("[Design]")) {
    v.design = lines.NextValue("Colour=");
    lines.Next();
  }
  return v;
}

std::string ComposeSettingsFile(const SettingsFileValues& v) {
  std::string out;
  out += "[NtripCaster]\n";
  Append(out, "IP Port=", v.hostPort);
  Append(out, "Password=", v.userPassword);
  // Spelled so, and always 10: existing files and the loader use this key.
  out += "Attemps=10\n";
  out += "Time=10\n";
  out += "[Settings]\n";
  out += "Output=" + std::to_string(v.output.value_or(1)) + "\n";
  out += "[COM-Port]\n";
  Append(out, "COM-Port=", v.port);
  Append(out, "Baudrate=", v.baud);
  Append(out, "Databits=", v.dataBits);
  Append(out, "Parity=", v.parity);
  Append(out, "Stop Bits=", v.stopBits);
  out += "[GNSS]\n";
  Append(out, "Mount Point=", v.mountPoint);
  Append(out, "Network=", v.network);
  out += "[Design]\n";
  Append(out, "Colour=", v.design);
  return out;
}
