#include <gtest/gtest.h>

#include "dialogs/TextBlock.h"

TEST(WrapText, BreaksAtLineFeedsAndSpacesAndCutsLongWords) {
  const struct {
    const wchar_t* text;
    int width;
    std::vector<std::wstring> rows;
  } cases[] = {
      {L"one two three", 7, {L"one two", L"three"}},
      {L" /|\\\n(o)", 8, {L" /|\\", L"(o)"}},  // pictures keep their spaces
      {L"abcdefghij", 4, {L"abcd", L"efgh", L"ij"}},
      {L"", 5, {L""}},
      {L"a b", 0, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(WrapText(c.text, c.width), c.rows) << c.width;
}
