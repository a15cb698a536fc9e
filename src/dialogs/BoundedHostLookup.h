#pragma once
// Host-name look-ups that cannot freeze the window: every name is looked up
// on a thread of its own, all at once, and the caller waits for the answers
// only until one shared deadline. A look-up still running then is left to
// finish on its own and its answer is dropped; the name counts as not found.
// On a machine without a reachable name server each look-up can take many
// seconds, and a caster list has a dozen names.
#include <chrono>
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

// One answer per name, in order: the dotted address, or empty when the
// look-up failed or did not answer in time.
std::vector<std::string> LookupHostsWithin(const std::vector<std::string>& hosts, std::chrono::milliseconds deadline,
                                           const HostLookupFunction& lookup);
