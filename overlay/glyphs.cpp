#include "overlay/glyphs.h"

namespace {

constexpr int glyphSize = 40;
constexpr float glyphAdvance = glyphSize * 0.7f; // 12 units of each glyph lie under the next one
constexpr float cellSize = 0.25f;                // of the texture, in both directions

void recordGlyph(int glyph) {
    const float s = static_cast<float>(glyph % 4) * cellSize;
    const float t = 1.0f - static_cast<float>(glyph / 4) * cellSize; // rows counted from the top
    glBegin(GL_QUADS);
    glTexCoord2f(s, t - cellSize);
    glVertex2i(0, 0);
    glTexCoord2f(s + cellSize, t - cellSize);
    glVertex2i(glyphSize, 0);
    glTexCoord2f(s + cellSize, t);
    glVertex2i(glyphSize, glyphSize);
    glTexCoord2f(s, t);
    glVertex2i(0, glyphSize);
    glEnd();
    glTranslatef(glyphAdvance, 0, 0);
}

} // namespace

void bindDigitTexture(const Glyphs& glyphs) {
    glBindTexture(GL_TEXTURE_2D, glyphs.digitTexture);
}

Glyphs buildGlyphs(const TextureRegistry& textures) {
    Glyphs glyphs;
    if (const TextureEntry* digits = findTexture(textures, "textures\\c.jpg"))
        glyphs.digitTexture = digits->texture;
    bindDigitTexture(glyphs);
    glyphs.lists = glGenLists(glyphCount);
    if (glyphs.lists == 0)
        return glyphs;
    for (int glyph = 0; glyph < glyphCount; ++glyph) {
        glNewList(glyphs.lists + glyph, GL_COMPILE);
        recordGlyph(glyph);
        glEndList();
    }
    return glyphs;
}

void drawDigits(const Glyphs& glyphs, float x, float y, std::string_view text) {
    glTranslatef(x, y, 0);
    if (glyphs.lists == 0)
        return;
    for (char character : text) {
        const int glyph = character - firstGlyphCharacter;
        if (glyph >= 0 && glyph < glyphCount)
            glCallList(glyphs.lists + glyph);
    }
}
