#include "framework/tui/TerminalColor.h"

#include <gtest/gtest.h>

namespace {

TEST(TerminalColor, NearestOfThe256Palette) {
  struct Row {
    const char* legend;
    COLORREF rgb;
    int expected;
  } rows[] = {
      {"black is the cube's corner, not palette 0", RGB(0, 0, 0), 16},
      {"white", RGB(255, 255, 255), 231},
      {"pure red", RGB(255, 0, 0), 196},
      {"a cube colour exactly", RGB(95, 135, 175), 67},
      {"channels between levels round to the nearest", RGB(100, 130, 180), 67},
      {"mid grey goes to the grey ramp", RGB(128, 128, 128), 244},
      {"near-black grey", RGB(10, 10, 10), 232},
      {"dark blue, not grey", RGB(0, 0, 128), 18},
      {"byte order: COLORREF keeps red in the low byte", RGB(0, 0, 255), 21},
  };
  for (const Row& row : rows) EXPECT_EQ(NearestPalette256(row.rgb), row.expected) << row.legend;
}

TEST(TerminalColor, NearestOfTheEightBasicColours) {
  EXPECT_EQ(NearestBasic8(RGB(0, 0, 0)), 0);
  EXPECT_EQ(NearestBasic8(RGB(255, 0, 0)), 1);
  EXPECT_EQ(NearestBasic8(RGB(0, 0, 128)), 4) << "dark blue stays blue";
  EXPECT_EQ(NearestBasic8(RGB(192, 192, 192)), 7) << "light grey dialog background";
  EXPECT_EQ(NearestBasic8(RGB(255, 255, 0)), 3);
}

TEST(TerminalColor, DirectColourPacksRgbAndAvoidsThePaletteRange) {
  EXPECT_EQ(DirectColorNumber(RGB(0x12, 0x34, 0x56)), 0x123456);
  EXPECT_EQ(DirectColorNumber(RGB(255, 255, 255)), 0xFFFFFF);
  // Numbers below 8 would be sent as themed palette colours.
  EXPECT_EQ(DirectColorNumber(RGB(0, 0, 0)), 8);
  EXPECT_EQ(DirectColorNumber(RGB(0, 0, 7)), 8);
  EXPECT_EQ(TerminalColorNumber(CellColor::Default(), ColorDepth::Direct), -1) << "the terminal's own colour";
}

}  // namespace
