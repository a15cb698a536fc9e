#include "platform/ConnectionManager.h"

namespace platform {

bool EstablishDataConnection() { return true; }

}  // namespace platform
