#pragma once
#include <string>

namespace platform {

// Looks a host name up (IPv4 only, as the caster connection is IPv4) and
// answers the first address in dotted form; false when it cannot be found.
[[nodiscard]] bool LookupHostIPv4(const std::string& host, std::string& dotted);

}  // namespace platform
