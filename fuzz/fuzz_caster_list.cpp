// Feeds arbitrary bytes to the caster-list reader through a real file, as
// the caster dialogs read "sourcetable.dat" and "CorvoNet.ini". The
// sanitizers catch any access outside the reader's buffers; the checks below
// catch text that must never reach the screen or GNSS.ini.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/CasterListReader.h"
#include "platform/Text.h"

namespace {

// A fresh directory per run; plain arrays, so the exit handler never sees a
// destroyed string. Sizes: the mkdtemp pattern plus "/CorvoNet.ini".
char g_directory[] = "/tmp/fuzz_caster_list.XXXXXX";
char g_path[sizeof g_directory + 16];

const char* ListPath() {
  if (g_path[0] == '\0') {
    if (::mkdtemp(g_directory) == nullptr) std::abort();
    std::snprintf(g_path, sizeof g_path, "%s/CorvoNet.ini", g_directory);
    std::atexit([] {
      std::remove(g_path);
      std::remove(g_directory);
    });
  }
  return g_path;
}

bool HasControlCharacter(const std::wstring& text) {
  for (const wchar_t ch : text) {
    const auto c = static_cast<std::uint32_t>(ch);
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = ListPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  std::vector<CasterListEntry> entries;
  (void)ReadCasterList(platform::WidenLocal(path), entries);
  for (const CasterListEntry& entry : entries) {
    // A field can never be longer than the input it came from.
    if (entry.host.size() > size || entry.port.size() > size) std::abort();
    if (HasControlCharacter(entry.host) || HasControlCharacter(entry.port)) std::abort();
  }
  return 0;
}
