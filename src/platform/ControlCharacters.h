#pragma once
// Control characters (below 0x20: NUL, CR, LF and the rest) never go into
// GNSS.ini or a request: a line break inside a value would add lines or
// header lines of a stranger's choosing, and a NUL cuts a file short.
#include <algorithm>
#include <string_view>

namespace platform {

inline bool HasControlCharacter(std::wstring_view text) {
  return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0 && c < 0x20; });
}

}  // namespace platform
