#pragma once
#include <string>

namespace platform {

// Opens a web page in the desktop's browser (xdg-open), in the background;
// whether a browser came up is not examined, as on the handheld.
void ShellOpen(const std::string& url);

}  // namespace platform
