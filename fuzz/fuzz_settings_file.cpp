// Feeds arbitrary bytes to the GNSS.ini loader through a real file, as the
// program reads it at start-up, then writes what it loaded and reads that
// again. GNSS.ini is anybody's to edit; whatever it holds, the writer must
// give back 18 lines without a control character inside a value, and the
// loader must read the writer's file back to the same values.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/SettingsFileText.h"
#include "framework/ReadFileUpTo.h"
#include "platform/ControlCharacters.h"
#include "platform/Text.h"

namespace {

// A fresh directory per run; plain arrays, so the exit handler never sees a
// destroyed string. Sizes: the mkdtemp pattern plus "/GNSS.ini".
char g_directory[] = "/tmp/fuzz_settings_file.XXXXXX";
char g_path[sizeof g_directory + 16];

const char* SettingsPath() {
  if (g_path[0] == '\0') {
    if (::mkdtemp(g_directory) == nullptr) std::abort();
    std::snprintf(g_path, sizeof g_path, "%s/GNSS.ini", g_directory);
    std::atexit([] {
      std::remove(g_path);
      std::remove(g_directory);
    });
  }
  return g_path;
}

// What the writer keeps of a loaded text value.
std::wstring Kept(const std::optional<std::wstring>& value) {
  return value && !platform::HasControlCharacter(*value) ? *value : std::wstring();
}

void ExpectKept(const std::optional<std::wstring>& loaded, const std::optional<std::wstring>& reread) {
  if (!reread || *reread != Kept(loaded)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = SettingsPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  std::string text;
  std::wstring reason;
  if (ReadFileUpTo(platform::WidenLocal(path), kMaxSettingsFileBytes, text, reason) != ReadFileResult::Read) std::abort();
  if (text.size() != std::min(size, kMaxSettingsFileBytes)) std::abort();
  const SettingsFileValues loaded = ParseSettingsFile(text);

  const std::string written = ComposeSettingsFile(loaded);
  int lines = 0;
  for (char c : written) {
    if (c == '\n') ++lines;
    else if (static_cast<unsigned char>(c) < 0x20) std::abort();
  }
  if (lines != 18) std::abort();

  const SettingsFileValues reread = ParseSettingsFile(written);
  for (auto field : {&SettingsFileValues::hostPort, &SettingsFileValues::userPassword, &SettingsFileValues::port,
                     &SettingsFileValues::baud, &SettingsFileValues::dataBits, &SettingsFileValues::parity,
                     &SettingsFileValues::stopBits, &SettingsFileValues::mountPoint, &SettingsFileValues::network,
                     &SettingsFileValues::design})
    ExpectKept(loaded.*field, reread.*field);
  if (reread.output != loaded.output.value_or(1) || reread.attempts != 10 || reread.time != 10) std::abort();
  return 0;
}
