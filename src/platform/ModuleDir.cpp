#include "platform/ModuleDir.h"

#include <unistd.h>

#include <climits>
#include <mutex>

#include "platform/Text.h"

namespace platform {
namespace {

std::mutex g_mutex;
std::wstring g_override;

std::wstring ExecutableDirectory() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return L"./";
  const std::string text(path, static_cast<size_t>(n));
  const size_t slash = text.rfind('/');
  return WidenLocal(slash == std::string::npos ? std::string("./") : text.substr(0, slash + 1));
}

}  // namespace

std::wstring ModuleDirectory() {
  std::lock_guard lock(g_mutex);
  if (!g_override.empty()) return g_override;
  return ExecutableDirectory();
}

void SetModuleDirectory(const std::wstring& directory) {
  std::lock_guard lock(g_mutex);
  g_override = directory;
  if (g_override.empty() || g_override.back() != L'/') g_override += L'/';
}

std::wstring ModulePath(const std::wstring& fileName) { return ModuleDirectory() + fileName; }

}  // namespace platform
