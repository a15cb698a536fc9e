#pragma once
#include <string>

namespace platform {

// Why opening a web page cannot bring up a browser here, or empty when it
// can: a machine reached over SSH or a field computer without a desktop has
// no graphical session, and xdg-open would then fall back to a text-mode
// browser that fights the program for the terminal.
std::string WhyNoBrowser();

}  // namespace platform
