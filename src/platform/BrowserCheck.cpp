#include "platform/BrowserCheck.h"

#include <unistd.h>

#include <cstdlib>
#include <string_view>

namespace platform {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

bool OnPath(std::string_view program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string_view rest(path);
  while (true) {
    const size_t colon = rest.find(':');
    std::string dir(rest.substr(0, colon));
    if (dir.empty()) dir = ".";
    if (access((dir + "/" + std::string(program)).c_str(), X_OK) == 0) return true;
    if (colon == std::string_view::npos) return false;
    rest.remove_prefix(colon + 1);
  }
}

}  // namespace

std::string WhyNoBrowser() {
  if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) return "no desktop session (DISPLAY and WAYLAND_DISPLAY unset)";
  if (!OnPath("xdg-open")) return "xdg-open is not installed";
  return {};
}

}  // namespace platform
