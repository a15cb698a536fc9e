#pragma once
// The three views of one HealthSnapshot: the service's one-line summary,
// the terminal page's text and the status file's JSON document.
#include <string>

#include "health/StreamHealth.h"

// "health: RTK fixed, 12 sats, corrections 0.8 s old, 7 types, 0 bad,
// base 25 at 1.5 km", followed by the plain warnings when they apply.
std::string HealthLine(const HealthSnapshot& s);
// The warnings alone ("" when all is well), one sentence each.
std::string HealthWarnings(const HealthSnapshot& s);
// The page: short lines for a 40-column screen, CR LF between them.
std::wstring HealthPageText(const HealthSnapshot& s, const std::wstring& status);
// The status file. `status` is the status line (UTF-8).
std::string HealthJson(const HealthSnapshot& s, const std::string& status);
