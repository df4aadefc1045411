#include "tools/texgen/strokes.h"

#include <algorithm>
#include <cmath>
#include <vector>

void drawStroke(Picture& picture, float x0, float y0, float x1, float y1, float halfWidth, Colour colour) {
    const float reach = halfWidth + 1;
    const int left = std::max(0, static_cast<int>(std::floor(std::min(x0, x1) - reach)));
    const int right = std::min(picture.width - 1, static_cast<int>(std::ceil(std::max(x0, x1) + reach)));
    const int top = std::max(0, static_cast<int>(std::floor(std::min(y0, y1) - reach)));
    const int bottom = std::min(picture.height - 1, static_cast<int>(std::ceil(std::max(y0, y1) + reach)));
    const float dx = x1 - x0;
    const float dy = y1 - y0;
    const float lengthSquared = std::max(dx * dx + dy * dy, 1e-6f);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const float px = static_cast<float>(x) + 0.5f - x0;
            const float py = static_cast<float>(y) + 0.5f - y0;
            const float along = std::clamp((px * dx + py * dy) / lengthSquared, 0.0f, 1.0f);
            const float distance = std::hypot(px - along * dx, py - along * dy);
            const float coverage = clamp01(halfWidth + 0.5f - distance);
            Colour& pixel = picture.at(x, y);
            const Colour lit = scaled(colour, coverage);
            pixel = {std::max(pixel.r, lit.r), std::max(pixel.g, lit.g), std::max(pixel.b, lit.b), pixel.a};
        }
}

namespace {

// A stroke between two points of the 4 × 6 glyph grid (x right, y down).
struct GridStroke {
    float x0, y0, x1, y1;
};

// The seven segments of a digit: top, upper right, lower right, bottom, lower left, upper left, middle.
constexpr GridStroke segments[7] = {{0.4f, 0, 3.6f, 0}, {4, 0.4f, 4, 2.6f}, {4, 3.4f, 4, 5.6f},
                                    {0.4f, 6, 3.6f, 6}, {0, 3.4f, 0, 5.6f}, {0, 0.4f, 0, 2.6f},
                                    {0.4f, 3, 3.6f, 3}};

// Which segments each digit lights, bit i for segment i.
constexpr unsigned digitSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

std::vector<GridStroke> letterStrokes(char letter) {
    switch (letter) {
    case 'H':
        return {{0, 0, 0, 6}, {4, 0, 4, 6}, {0, 3, 4, 3}};
    case 'E':
        return {{0, 0, 0, 6}, {0, 0, 4, 0}, {0, 3, 3, 3}, {0, 6, 4, 6}};
    case 'L':
        return {{0, 0, 0, 6}, {0, 6, 4, 6}};
    case 'I':
        return {{2, 0, 2, 6}, {1, 0, 3, 0}, {1, 6, 3, 6}};
    case 'O':
        return {{1, 0, 3, 0}, {4, 1, 4, 5}, {3, 6, 1, 6}, {0, 5, 0, 1},
                {3, 0, 4, 1}, {4, 5, 3, 6}, {1, 6, 0, 5}, {0, 1, 1, 0}};
    case 'X':
        return {{0, 0, 4, 6}, {4, 0, 0, 6}};
    case 'A':
        return {{0, 6, 2, 0}, {2, 0, 4, 6}, {0.7f, 4, 3.3f, 4}};
    case 'M':
        return {{0, 6, 0, 0}, {0, 0, 2, 3.5f}, {2, 3.5f, 4, 0}, {4, 0, 4, 6}};
    case 'P':
        return {{0, 6, 0, 0}, {0, 0, 3, 0}, {3, 0, 4, 1}, {4, 1, 4, 2}, {4, 2, 3, 3}, {3, 3, 0, 3}};
    case 'D':
        return {{0, 0, 0, 6},       {0, 0, 2.5f, 0},    {2.5f, 0, 4, 1.5f},
                {4, 1.5f, 4, 4.5f}, {4, 4.5f, 2.5f, 6}, {2.5f, 6, 0, 6}};
    case 'N':
        return {{0, 6, 0, 0}, {0, 0, 4, 6}, {4, 6, 4, 0}};
    case 'G':
        return {{4, 1, 3, 0}, {3, 0, 1, 0}, {1, 0, 0, 1}, {0, 1, 0, 5},   {0, 5, 1, 6},
                {1, 6, 3, 6}, {3, 6, 4, 5}, {4, 5, 4, 3}, {4, 3, 2.5f, 3}};
    default:
        return {};
    }
}

void drawGridStroke(Picture& picture, GridStroke stroke, GlyphBox box, float halfWidth, Colour colour) {
    const float sx = box.width / 4;
    const float sy = box.height / 6;
    drawStroke(picture, box.left + stroke.x0 * sx, box.top + stroke.y0 * sy, box.left + stroke.x1 * sx,
               box.top + stroke.y1 * sy, halfWidth, colour);
}

} // namespace

bool drawGlyph(Picture& picture, char character, GlyphBox box, float halfWidth, Colour colour) {
    if (character >= '0' && character <= '9') {
        // A one lights only the right column; it moves to the middle of the box, so text laid out at a fixed
        // advance (the clock) spaces it like every other digit instead of pushing it against its neighbour.
        const float shift = character == '1' ? -2.0f : 0.0f;
        for (int segment = 0; segment < 7; ++segment)
            if (digitSegments[character - '0'] & (1u << segment)) {
                GridStroke stroke = segments[segment];
                stroke.x0 += shift;
                stroke.x1 += shift;
                drawGridStroke(picture, stroke, box, halfWidth, colour);
            }
        return true;
    }
    if (character == ':') {
        // Two short thick dashes read as dots at any size.
        drawGridStroke(picture, {2, 1.8f, 2, 2.0f}, box, halfWidth * 1.3f, colour);
        drawGridStroke(picture, {2, 4.0f, 2, 4.2f}, box, halfWidth * 1.3f, colour);
        return true;
    }
    const std::vector<GridStroke> strokes = letterStrokes(character);
    for (const GridStroke& stroke : strokes)
        drawGridStroke(picture, stroke, box, halfWidth, colour);
    return !strokes.empty();
}

void drawText(Picture& picture, std::string_view text, float centreX, float centreY, float glyphHeight,
              float halfWidth, Colour colour) {
    const float glyphWidth = glyphHeight * 4 / 6;
    const float advance = glyphWidth * 1.45f;
    const float total = advance * static_cast<float>(text.size() - 1) + glyphWidth;
    float left = centreX - total / 2;
    for (char character : text) {
        drawGlyph(picture, character, {left, centreY - glyphHeight / 2, glyphWidth, glyphHeight}, halfWidth,
                  colour);
        left += advance;
    }
}
