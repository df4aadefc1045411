#pragma once

#include "tools/texgen/picture.h"

#include <string_view>

// Antialiased lines and a small stroke font for the lettering textures. Coordinates are pixels with y down.

// Lights the pixels within `halfWidth` of the segment with `colour`, keeping the brighter of old and new.
void drawStroke(Picture& picture, float x0, float y0, float x1, float y1, float halfWidth, Colour colour);

// A box on the picture that a glyph is fitted into: glyphs are drawn on a 4 × 6 grid scaled to the box.
struct GlyphBox {
    float left;
    float top;
    float width;
    float height;
};

// Draws one character: the digits 0-9 (seven-segment style), ':' and the capitals of "HELIOXAMPDNG".
// Returns false for a character the font does not have, drawing nothing.
bool drawGlyph(Picture& picture, char character, GlyphBox box, float halfWidth, Colour colour);

// Draws `text` centred on (centreX, centreY) with glyphs `glyphHeight` tall.
void drawText(Picture& picture, std::string_view text, float centreX, float centreY, float glyphHeight,
              float halfWidth, Colour colour);
