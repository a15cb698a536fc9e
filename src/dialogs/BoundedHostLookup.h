#pragma once
// Host-name look-ups that cannot freeze the window: the names are looked up
// side by side by a small pool of threads, and the caller waits for the
// answers only until one shared deadline. A look-up still running then is
// left to finish on its own and its answer is dropped; the name counts as not
// found, as do names not begun in time. On a machine without a reachable name
// server each look-up can take many seconds; a caster list has a dozen names,
// or, handed out by a service, thousands.
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Answers the dotted address of a host name, or false (the platform's
// look-up by default; tests give their own).
using HostLookupFunction = std::function<bool(const std::string& host, std::string& dotted)>;

// How long the caster dialog waits for all its names together: a resolver
// that answers from its cache or a local hosts file takes milliseconds; one
// that has to time out takes seconds, which the user should not sit through.
inline constexpr std::chrono::milliseconds kCasterLookupDeadline{1500};
// The look-up threads of the whole program: enough for a dozen names within
// the deadline, few enough that descriptors and memory never run short.
inline constexpr size_t kMaxHostLookupThreads = 8;

// One answer per name, in order: the dotted address, or empty when the
// look-up failed or did not answer in time.
std::vector<std::string> LookupHostsWithin(const std::vector<std::string>& hosts, std::chrono::milliseconds deadline,
                                           const HostLookupFunction& lookup);
