#pragma once

#include "data/texture_registry.h"

#include <GL/gl.h>

#include <string_view>

// The frame counter's and the clock's glyphs: 13 cells of the digit texture "textures\c.jpg", a 4 × 4 grid
// read row by row from the top. Glyphs 0 … 9 are the digits, 10 the colon, 11 and 12 the clock's morning and
// afternoon markers; the characters '0' … '<' select them in that order.
inline constexpr int glyphCount = 13;
inline constexpr char firstGlyphCharacter = '0';

// A show's glyphs: the display lists and the texture they are drawn with.
struct Glyphs {
    GLuint lists = 0;        // the first of them, one per glyph in glyph order; 0 until built
    GLuint digitTexture = 0; // "textures\c.jpg" of the show's textures; 0 when it has none
};

// Makes the glyph lists, once the show's texture registry is filled, and leaves the digit texture bound. Each
// draws its cell as a 40 × 40 quad with its lower-left corner at the origin and then moves 28 units right, so
// the glyphs of a string overlap a little.
Glyphs buildGlyphs(const TextureRegistry& textures);

// Binds the digit texture; with no "textures\c.jpg" in the registry, no texture, so the glyphs still show as
// plain squares rather than vanishing or borrowing whatever texture was bound last.
void bindDigitTexture(const Glyphs& glyphs);

// Moves the current model-view matrix by (x, y) and draws each character's glyph after the one before. It
// neither saves nor restores the matrix: callers load the identity first. Characters that name no glyph are
// skipped, so no other display list can be called by a stray character.
void drawDigits(const Glyphs& glyphs, float x, float y, std::string_view text);
