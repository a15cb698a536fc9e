#pragma once

namespace platform {

// The handheld asked its connection manager for a data connection before
// every connect. A Linux machine's network is managed outside the program,
// so there is nothing to ask for: this reports success at once.
bool EstablishDataConnection();

}  // namespace platform
