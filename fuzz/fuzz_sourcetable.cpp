// Feeds arbitrary bytes to ReadSourceTable through a real file, as the
// program reads a downloaded table. The sanitizers catch any access outside
// the reader's buffers; the checks below catch broken invariants.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Text.h"
#include "sourcetable/SourceTable.h"

namespace {

// A fresh directory per run; plain arrays, so the exit handler never sees a
// destroyed string. Sizes: the mkdtemp pattern plus "/sourcetable.dat".
char g_directory[] = "/tmp/fuzz_sourcetable.XXXXXX";
char g_path[sizeof g_directory + 16];

const char* TablePath() {
  if (g_path[0] == '\0') {
    if (::mkdtemp(g_directory) == nullptr) std::abort();
    std::snprintf(g_path, sizeof g_path, "%s/sourcetable.dat", g_directory);
    std::atexit([] {
      std::remove(g_path);
      std::remove(g_directory);
    });
  }
  return g_path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = TablePath();

  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);

  SourceTable table;
  table.m_strFileName = platform::WidenLocal(path);
  const bool ok = table.ReadSourceTable();
  // A field can never be longer than the input it came from.
  for (const _CityTableEntry& stream : table.m_cityTable) {
    if (stream.mountpoint.size() > size || stream.misc.size() > size) std::abort();
  }
  // An empty file is no table.
  if (size == 0 && (ok || !table.m_cityTable.empty())) std::abort();
  return 0;
}
