#include "tools/texgen/lettering_textures.h"

#include "tools/texgen/strokes.h"

#include <cmath>
#include <string_view>

namespace {

const Colour clockColour{0.75f, 0.9f, 1.0f};

void drawMarker(Picture& picture, std::string_view marker, float cellLeft, float cellTop, float cell) {
    // Two letters side by side, smaller than a digit.
    const float glyphHeight = cell * 0.42f;
    const float glyphWidth = glyphHeight * 4 / 6;
    const float gap = cell * 0.06f;
    float left = cellLeft + (cell - 2 * glyphWidth - gap) / 2;
    for (char letter : marker) {
        drawGlyph(picture, letter, {left, cellTop + (cell - glyphHeight) / 2, glyphWidth, glyphHeight},
                  cell * 0.035f, clockColour);
        left += glyphWidth + gap;
    }
}

} // namespace

Picture paintClockGlyphs(int size) {
    Picture picture(size, size);
    const float cell = static_cast<float>(size) / 4;
    for (int glyph = 0; glyph < clockGlyphCount; ++glyph) {
        const float left = static_cast<float>(glyph % 4) * cell;
        const float top = static_cast<float>(glyph / 4) * cell;
        if (glyph == 11 || glyph == 12) {
            drawMarker(picture, glyph == 11 ? "AM" : "PM", left, top, cell);
            continue;
        }
        const char character = glyph == 10 ? ':' : static_cast<char>('0' + glyph);
        const float glyphWidth = cell * 0.4f;
        const float glyphHeight = cell * 0.66f;
        drawGlyph(picture, character,
                  {left + (cell - glyphWidth) / 2, top + (cell - glyphHeight) / 2, glyphWidth, glyphHeight},
                  cell * 0.05f, clockColour);
    }
    return picture;
}

Picture paintSign(int size) {
    Picture picture(size, size);
    const float s = static_cast<float>(size);
    // A faint glow behind the name so it sits on light rather than on a hard black square.
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f) / s - 0.5f;
            const float dy = ((static_cast<float>(y) + 0.5f) / s - 0.5f) * 3;
            const float glow = std::exp(-(dx * dx + dy * dy) * 12) * 0.25f;
            picture.at(x, y) = Colour{glow, glow * 0.6f, glow * 0.2f, 1};
        }
    drawText(picture, "HELIOX", s / 2, s / 2, s * 0.16f, s * 0.014f, {1.0f, 0.85f, 0.5f});
    return picture;
}

Picture paintLoading(int size) {
    Picture picture(size, size);
    const float s = static_cast<float>(size);
    const float cx = s / 2;
    const float cy = s * 0.42f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float r =
                std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy) / s;
            const float sun = 1 - smoothStep(0.08f, 0.09f, r);
            const float corona = std::exp(-r * 18) * 0.6f;
            picture.at(x, y) = Colour{sun + corona, (sun + corona) * 0.75f, (sun + corona) * 0.3f, 1};
        }
    // Orbits as thin ellipses, each with its planet.
    const float radii[3] = {0.17f, 0.26f, 0.36f};
    const float planetAngles[3] = {0.6f, 2.4f, 4.4f};
    for (int orbit = 0; orbit < 3; ++orbit) {
        const float rx = radii[orbit] * s;
        const float ry = rx * 0.35f;
        constexpr int steps = 96;
        for (int i = 0; i < steps; ++i) {
            const float a0 = static_cast<float>(i) / steps * 6.2831853f;
            const float a1 = static_cast<float>(i + 1) / steps * 6.2831853f;
            drawStroke(picture, cx + rx * std::cos(a0), cy + ry * std::sin(a0), cx + rx * std::cos(a1),
                       cy + ry * std::sin(a1), s * 0.002f, {0.35f, 0.45f, 0.7f});
        }
        const float px = cx + rx * std::cos(planetAngles[orbit]);
        const float py = cy + ry * std::sin(planetAngles[orbit]);
        drawStroke(picture, px, py, px, py, s * 0.012f, {0.6f, 0.8f, 1.0f});
    }
    drawText(picture, "LOADING", s / 2, s * 0.86f, s * 0.08f, s * 0.008f, {0.85f, 0.9f, 1.0f});
    return picture;
}
