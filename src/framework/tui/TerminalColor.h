#pragma once
// Turning a cell's colour into a colour number the terminal understands.
// Pure functions, so the mapping can be checked without a terminal.
#include "framework/Canvas.h"
#include "framework/Types.h"

enum class ColorDepth {
  None,        // no colours at all: attributes only
  Basic8,      // the eight ANSI colours (also used for 16-colour terminals)
  Palette256,  // the xterm 256-colour palette
  Direct,      // 24-bit colour numbers 0xRRGGBB
};

// What a terminal offers, from its colour count and whether colour numbers
// are packed RGB values.
ColorDepth DepthFor(int colors, bool directRgb);

// The nearest colour of the 6x6x6 cube or the grey ramp (16..255). The first
// sixteen entries are left out: their shades are themes, not fixed values.
int NearestPalette256(COLORREF rgb);
// The nearest of the eight ANSI colours (xterm's default shades).
int NearestBasic8(COLORREF rgb);
// The packed 0xRRGGBB colour number of a direct-colour terminal.
int DirectColorNumber(COLORREF rgb);

// The colour number for a cell colour; -1 is the terminal's default colour.
int TerminalColorNumber(const CellColor& color, ColorDepth depth);
