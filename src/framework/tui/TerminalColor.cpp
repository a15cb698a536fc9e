#include "framework/tui/TerminalColor.h"

#include <array>
#include <cstdlib>

namespace {

struct Rgb {
  int r, g, b;
};

Rgb Split(COLORREF c) {
  return {static_cast<int>(GetRValue(c)), static_cast<int>(GetGValue(c)), static_cast<int>(GetBValue(c))};
}

int DistanceSquared(Rgb a, Rgb b) {
  return (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
}

// The channel levels of xterm's colour cube.
constexpr std::array<int, 6> kCubeLevels{0, 95, 135, 175, 215, 255};

int NearestCubeLevel(int value) {
  int best = 0;
  for (int i = 1; i < 6; ++i)
    if (std::abs(kCubeLevels[i] - value) < std::abs(kCubeLevels[best] - value)) best = i;
  return best;
}

}  // namespace

ColorDepth DepthFor(int colors, bool directRgb) {
  if (colors >= 0x1000000 && directRgb) return ColorDepth::Direct;
  if (colors >= 256) return ColorDepth::Palette256;
  if (colors >= 8) return ColorDepth::Basic8;
  return ColorDepth::None;
}

int NearestPalette256(COLORREF rgb) {
  const Rgb want = Split(rgb);
  const int r = NearestCubeLevel(want.r), g = NearestCubeLevel(want.g), b = NearestCubeLevel(want.b);
  const int cube = 16 + 36 * r + 6 * g + b;
  const int cubeDistance = DistanceSquared(want, {kCubeLevels[r], kCubeLevels[g], kCubeLevels[b]});

  // The grey ramp 232..255 runs 8, 18, ..., 238.
  const int average = (want.r + want.g + want.b) / 3;
  int step = (average - 8 + 5) / 10;
  if (step < 0) step = 0;
  if (step > 23) step = 23;
  const int level = 8 + 10 * step;
  const int greyDistance = DistanceSquared(want, {level, level, level});
  return greyDistance < cubeDistance ? 232 + step : cube;
}

int NearestBasic8(COLORREF rgb) {
  // Order matches the ANSI numbers (black, red, green, yellow, blue, magenta, cyan, white).
  static constexpr std::array<Rgb, 8> kBasic{{{0, 0, 0},
                                              {205, 0, 0},
                                              {0, 205, 0},
                                              {205, 205, 0},
                                              {0, 0, 238},
                                              {205, 0, 205},
                                              {0, 205, 205},
                                              {229, 229, 229}}};
  const Rgb want = Split(rgb);
  int best = 0;
  for (int i = 1; i < 8; ++i)
    if (DistanceSquared(want, kBasic[i]) < DistanceSquared(want, kBasic[best])) best = i;
  return best;
}

int DirectColorNumber(COLORREF rgb) {
  const int packed = static_cast<int>((GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb));
  // Direct-colour terminfo entries send numbers below 8 as the ANSI palette
  // colours (whose shades are the user's theme), so a near-black would come out
  // as whatever the theme calls black or blue. The next value is visually the same.
  return packed < 8 ? 8 : packed;
}

int TerminalColorNumber(const CellColor& color, ColorDepth depth) {
  if (color.isDefault) return -1;
  switch (depth) {
    case ColorDepth::Direct: return DirectColorNumber(color.rgb);
    case ColorDepth::Palette256: return NearestPalette256(color.rgb);
    case ColorDepth::Basic8: return NearestBasic8(color.rgb);
    case ColorDepth::None: return -1;
  }
  return -1;
}
