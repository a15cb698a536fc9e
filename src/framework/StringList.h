#pragma once
// The entries and the selection of a list: what a list box and a combo box's
// list have in common. Searches ignore case and wrap around, as the
// handheld's lists do.
#include <string>
#include <vector>

class StringList {
 public:
  // Appends, or with `sorted` inserts before the first entry that sorts
  // after the text; answers the index.
  int Add(const std::wstring& text, bool sorted);
  // -1 or an index past the end: at the end. The selection stays on its entry.
  int Insert(int index, const std::wstring& text);
  // Answers the number of entries left, or -1 for an index out of range.
  int Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(m_items.size()); }
  int Selection() const { return m_nSelection; }
  // -1 clears the selection; false for an index out of range.
  bool Select(int index);
  // The entry's text, or null for an index out of range.
  const std::wstring* At(int index) const;
  // The first entry after `startAfter` (-1: from the top) that begins with
  // the prefix, or equals the text; -1 when none does.
  int FindPrefix(int startAfter, const std::wstring& prefix) const;
  int FindExact(int startAfter, const std::wstring& text) const;

 private:
  template <class Match>
  int FindFrom(int startAfter, Match match) const;

  std::vector<std::wstring> m_items;
  int m_nSelection = -1;
};

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix);
int CompareNoCase(const std::wstring& a, const std::wstring& b);
