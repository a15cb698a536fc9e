// GNSS.ini: everything the program remembers between runs, in 18 positional
// lines. The loader expects the sections in the writer's order; a section
// header that does not match is tested again against the next section.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/FieldcastDlg.h"
#include "framework/File.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace {

// The loader reads at most this many bytes (the buffer keeps one for the
// terminator); anything after it is ignored.
constexpr size_t kMaxConfigBytes = 1023;

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
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
// A line that does not match, or a number beyond the 32-bit range, leaves
// the value unchanged.
bool ReadNumber(std::string_view line, std::string_view key, int& value) {
  if (line.substr(0, key.size()) != key) return false;
  const std::string rest(line.substr(key.size()));
  const char* begin = rest.c_str();
  while (*begin == ' ' || *begin == '\t') ++begin;
  char* end = nullptr;
  const long long parsed = std::strtoll(begin, &end, 10);
  if (end == begin || parsed < INT32_MIN || parsed > INT32_MAX) return false;
  value = static_cast<int>(parsed);
  return true;
}

class LineCursor {
 public:
  explicit LineCursor(std::vector<std::string_view> lines) : m_lines(std::move(lines)) {}
  bool HasCurrent() const { return m_index < m_lines.size(); }
  std::string_view Current() const { return HasCurrent() ? m_lines[m_index] : std::string_view(); }
  bool StartsSection(std::string_view header) const { return HasCurrent() && Current().substr(0, header.size()) == header; }
  // Moves on; answers the new current line, or nothing at the end.
  bool Next() {
    if (m_index < m_lines.size()) ++m_index;
    return HasCurrent();
  }

 private:
  std::vector<std::string_view> m_lines;
  size_t m_index = 0;
};

void Append(std::string& out, std::string_view key, const std::wstring& value) {
  out.append(key);
  out.append(platform::NarrowLocal(value));
  out.push_back('\n');
}

}  // namespace

void CFieldcastDlg::LoadConfiguration() {
  CComPortDlg& port = m_settingsDlg.m_comPortDlg;
  CFile file;
  if (!file.Open(m_strIniPath, CFile::modeRead | CFile::shareDenyNone)) {
    port.SetDefaults();
    m_settingsDlg.m_nOutputStored = 1;
    m_settingsDlg.m_nOutput = 1;
    return;
  }
  const long read = file.Read(m_iniBuffer.data(), kMaxConfigBytes);
  if (read < 0) {
    UpdateData(false);
    return;
  }
  m_iniBuffer[static_cast<size_t>(read)] = '\0';
  // The text ends at the bytes read, or at a zero byte before them.
  std::string_view text(m_iniBuffer.data(), static_cast<size_t>(read));
  text = text.substr(0, text.find('\0'));
  LineCursor lines(SplitLines(text));
  CCasterDlgBase* casters[] = {&m_casterDlgCorvo, &m_casterDlg};

  if (lines.StartsSection("[NtripCaster]")) {
    if (lines.Next())
      for (auto* c : casters) c->m_strHostPortStored = ValueAfter(lines.Current(), "IP Port=");
    if (lines.Next())
      for (auto* c : casters) c->m_strUserPassword = ValueAfter(lines.Current(), "Password=");
    if (lines.Next())
      for (auto* c : casters) (void)ReadNumber(lines.Current(), "Attemps=", c->m_nAttemptsStored);
    if (lines.Next())
      for (auto* c : casters) (void)ReadNumber(lines.Current(), "Time=", c->m_nTimeStored);
    lines.Next();
  }
  if (lines.StartsSection("[Settings]")) {
    if (lines.Next()) (void)ReadNumber(lines.Current(), "Output=", m_settingsDlg.m_nOutputStored);
    lines.Next();
  }
  if (lines.StartsSection("[COM-Port]")) {
    const std::pair<std::string_view, std::wstring*> fields[] = {
        {"COM-Port=", &port.m_strPort},     {"Baudrate=", &port.m_strBaud},       {"Databits=", &port.m_strDataBits},
        {"Parity=", &port.m_strParity},     {"Stop Bits=", &port.m_strStopBits},
    };
    for (const auto& [key, value] : fields)
      if (lines.Next()) *value = ValueAfter(lines.Current(), key);
    lines.Next();
  }
  if (lines.StartsSection("[GNSS]")) {
    if (lines.Next()) m_strMountPoint.Set(ValueAfter(lines.Current(), "Mount Point="));
    if (lines.Next()) m_strSavedNetwork = ValueAfter(lines.Current(), "Network=");
    lines.Next();
  }
  if (lines.StartsSection("[Design]")) {
    if (lines.Next()) m_strDesign = ValueAfter(lines.Current(), "Colour=");
    lines.Next();
  }
  UpdateData(false);
}

// Written whole to a temporary file and renamed over the old one, readable
// by its owner only: it holds the caster password.
void CFieldcastDlg::SaveConfiguration() {
  const CCasterDlgBase& caster = ActiveCasterDlg();
  const CComPortDlg& port = m_settingsDlg.m_comPortDlg;
  std::string out;
  out += "[NtripCaster]\n";
  Append(out, "IP Port=", caster.m_strHostPortStored);
  Append(out, "Password=", caster.m_strUserPassword);
  // Spelled so, and always 10: existing files and the loader use this key.
  out += "Attemps=10\n";
  out += "Time=10\n";
  out += "[Settings]\n";
  out += "Output=" + std::to_string(m_settingsDlg.m_nOutputStored) + "\n";
  out += "[COM-Port]\n";
  Append(out, "COM-Port=", port.m_strPort);
  Append(out, "Baudrate=", port.m_strBaud);
  Append(out, "Databits=", port.m_strDataBits);
  Append(out, "Parity=", port.m_strParity);
  Append(out, "Stop Bits=", port.m_strStopBits);
  out += "[GNSS]\n";
  Append(out, "Mount Point=", m_strMountPoint.Get());
  Append(out, "Network=", m_strNetwork);
  out += "[Design]\n";
  Append(out, "Colour=", m_strDesign);
  if (!ReplaceFileAtomically(m_strIniPath, out, /*ownerOnly=*/true))
    platform::Trace(L"Could not write " + m_strIniPath + L"\n");
}
