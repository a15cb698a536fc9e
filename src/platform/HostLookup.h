#pragma once
#include <string>
#include <vector>

namespace platform {

// Looks a host name up (IPv4 only, as the caster connection is IPv4) and
// answers the first address in dotted form; false when it cannot be found.
[[nodiscard]] bool LookupHostIPv4(const std::string& host, std::string& dotted);

// Looks a host name up for both IPv4 and IPv6 and answers every address as
// text, in the order the system prefers; false when there is none.
[[nodiscard]] bool LookupHostAddresses(const std::string& host, std::vector<std::string>& addresses);

// Whether `host` is an IPv4 or IPv6 address written out (no look-up needed).
bool IsNumericAddress(const std::string& host);

}  // namespace platform
