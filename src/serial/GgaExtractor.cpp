#include "serial/GgaExtractor.h"

namespace {

// An NMEA sentence is at most 82 characters; an unfinished one longer than
// this is not NMEA and is dropped instead of growing without bound.
constexpr size_t kMaxUnfinished = 256;
constexpr size_t kChecksumLength = 2;

bool IsLineEnd(wchar_t c) { return c == L'\r' || c == L'\n'; }
// Where a checksum character should be: the sentence was cut short.
bool IsSentenceBreak(wchar_t c) { return IsLineEnd(c) || c == L'$'; }
bool IsTalkerCharacter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9'); }

}  // namespace

const std::vector<std::wstring>& GgaExtractor::DefaultTalkers() {
  static const std::vector<std::wstring> talkers{L"GP"};
  return talkers;
}

void GgaExtractor::SetTalkers(std::vector<std::wstring> talkers) {
  m_talkers = talkers.empty() ? DefaultTalkers() : std::move(talkers);
}

size_t GgaExtractor::FindAcceptedStart(const std::wstring& text, size_t from) {
  for (size_t at = text.find(L'$', from); at != std::wstring::npos; at = text.find(L'$', at + 1)) {
    if (at + 6 > text.size() || text.compare(at + 3, 3, L"GGA") != 0) continue;
    const std::wstring talker = text.substr(at + 1, 2);
    for (const std::wstring& accepted : m_talkers)
      if (talker == accepted) return at;
    if (IsTalkerCharacter(talker[0]) && IsTalkerCharacter(talker[1])) m_strIgnoredTalker = talker;
  }
  return std::wstring::npos;
}

// A "$" or a line end before the "*" means the sentence was cut off: the
// search goes on after it.
GgaExtractor::Found GgaExtractor::FindSentence(const std::wstring& text, size_t from) {
  Found found;
  for (size_t begin = FindAcceptedStart(text, from); begin != std::wstring::npos;
       begin = FindAcceptedStart(text, begin + 1)) {
    found.begin = begin;
    const size_t stop = text.find_first_of(L"*$\r\n", begin + 1);
    if (stop == std::wstring::npos) return found;  // still arriving
    if (text[stop] != L'*') continue;
    if (stop + 1 + kChecksumLength > text.size()) return found;  // checksum still arriving
    if (IsSentenceBreak(text[stop + 1]) || IsSentenceBreak(text[stop + 2])) continue;
    found.end = stop + 1 + kChecksumLength;
    return found;
  }
  found.end = 0;
  return found;
}

void GgaExtractor::KeepUnfinished(const std::wstring& text, size_t from) {
  m_strUnfinished.clear();
  const size_t dollar = text.rfind(L'$');
  if (dollar == std::wstring::npos || dollar < from || text.size() - dollar > kMaxUnfinished) return;
  if (text.find_first_of(L"\r\n", dollar) != std::wstring::npos) return;
  const size_t star = text.find(L'*', dollar);
  if (star != std::wstring::npos && star + 1 + kChecksumLength <= text.size()) return;  // complete
  m_strUnfinished = text.substr(dollar);
}

std::wstring GgaExtractor::ExtractGGA(std::wstring_view read) {
  const std::wstring text = m_strUnfinished + std::wstring(read);
  Found found = FindSentence(text, 0);
  if (found.begin == std::wstring::npos) {
    KeepUnfinished(text, 0);
    return m_strRemembered;
  }
  m_strRemembered.clear();
  if (found.end == 0) {
    KeepUnfinished(text, found.begin);
    return m_strRemembered;
  }
  m_strUnfinished.clear();
  m_strRemembered = text.substr(found.begin, found.end - found.begin) + L"\r\n";
  return m_strRemembered;
}

std::wstring GgaExtractor::ExtractNewestGGA(std::wstring_view read) {
  const std::wstring text = m_strUnfinished + std::wstring(read);
  std::wstring newest;
  size_t from = 0;
  for (Found found = FindSentence(text, 0); found.end != 0; found = FindSentence(text, from)) {
    newest = text.substr(found.begin, found.end - found.begin) + L"\r\n";
    from = found.end;
  }
  KeepUnfinished(text, from);
  if (!newest.empty()) m_strRemembered = newest;
  return newest;
}
