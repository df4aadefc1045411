#pragma once

#include "tools/texgen/picture.h"

// The clock's glyph sheet: 4 × 4 square cells, glyph i in column i mod 4 and row i div 4 from the top;
// glyphs 0-9 are the digits, 10 the colon, 11 the morning marker ("AM"), 12 the afternoon marker ("PM"),
// the last three cells stay black. The clock draws cells 40 units wide overlapping their neighbours by 12,
// so each glyph keeps to the middle of its cell.
Picture paintClockGlyphs(int size);
inline constexpr int clockGlyphCount = 13;

// The loading screen: the program's name, and a small Sun with orbits over the word "LOADING".
Picture paintSign(int size);
Picture paintLoading(int size);
