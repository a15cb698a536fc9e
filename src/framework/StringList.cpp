#include "framework/StringList.h"

#include <algorithm>
#include <cwctype>

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::towlower(static_cast<wint_t>(text[i])) != std::towlower(static_cast<wint_t>(prefix[i]))) return false;
  return true;
}

int CompareNoCase(const std::wstring& a, const std::wstring& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = std::towlower(static_cast<wint_t>(a[i]));
    const auto y = std::towlower(static_cast<wint_t>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int StringList::Add(const std::wstring& text, bool sorted) {
  if (!sorted) return Insert(-1, text);
  const auto at = std::find_if(m_items.begin(), m_items.end(),
                               [&](const std::wstring& item) { return CompareNoCase(text, item) < 0; });
  return Insert(static_cast<int>(at - m_items.begin()), text);
}

int StringList::Insert(int index, const std::wstring& text) {
  if (index < 0 || index > Count()) index = Count();
  m_items.insert(m_items.begin() + index, text);
  if (m_nSelection >= index) ++m_nSelection;
  return index;
}

int StringList::Delete(int index) {
  if (index < 0 || index >= Count()) return -1;
  m_items.erase(m_items.begin() + index);
  if (m_nSelection == index) m_nSelection = -1;
  else if (m_nSelection > index) --m_nSelection;
  return Count();
}

void StringList::Clear() {
  m_items.clear();
  m_nSelection = -1;
}

bool StringList::Select(int index) {
  if (index < -1 || index >= Count()) return false;
  m_nSelection = index;
  return true;
}

const std::wstring* StringList::At(int index) const {
  return index < 0 || index >= Count() ? nullptr : &m_items[static_cast<size_t>(index)];
}

template <class Match>
int StringList::FindFrom(int startAfter, Match match) const {
  const int count = Count();
  for (int step = 1; step <= count; ++step) {
    const int index = ((startAfter < 0 ? -1 : startAfter) + step) % count;
    if (match(m_items[static_cast<size_t>(index)])) return index;
  }
  return -1;
}

int StringList::FindPrefix(int startAfter, const std::wstring& prefix) const {
  return FindFrom(startAfter, [&](const std::wstring& item) { return StartsWithNoCase(item, prefix); });
}

int StringList::FindExact(int startAfter, const std::wstring& text) const {
  return FindFrom(startAfter, [&](const std::wstring& item) { return CompareNoCase(item, text) == 0; });
}
