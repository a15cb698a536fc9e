#include "platform/HostLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

namespace platform {

bool LookupHostIPv4(const std::string& host, std::string& dotted) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* result = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || result == nullptr) return false;
  char text[INET_ADDRSTRLEN] = {};
  const auto* address = reinterpret_cast<const sockaddr_in*>(result->ai_addr);
  const bool ok = inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
  freeaddrinfo(result);
  if (ok) dotted = text;
  return ok;
}

bool LookupHostAddresses(const std::string& host, std::vector<std::string>& addresses) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* result = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || result == nullptr) return false;
  std::vector<std::string> found;
  for (const addrinfo* entry = result; entry != nullptr; entry = entry->ai_next) {
    char text[INET6_ADDRSTRLEN] = {};
    const void* address = nullptr;
    if (entry->ai_family == AF_INET) address = &reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr;
    else if (entry->ai_family == AF_INET6) address = &reinterpret_cast<const sockaddr_in6*>(entry->ai_addr)->sin6_addr;
    if (address == nullptr || inet_ntop(entry->ai_family, address, text, sizeof text) == nullptr) continue;
    bool seen = false;
    for (const std::string& earlier : found) seen = seen || earlier == text;
    if (!seen) found.emplace_back(text);
  }
  freeaddrinfo(result);
  if (found.empty()) return false;
  addresses = std::move(found);
  return true;
}

bool IsNumericAddress(const std::string& host) {
  in_addr v4{};
  in6_addr v6{};
  return inet_pton(AF_INET, host.c_str(), &v4) == 1 || inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

}  // namespace platform
