#include "tools/texgen/picture.h"

#include <algorithm>
#include <cmath>

Colour mix(Colour from, Colour to, float amount) {
    return {from.r + (to.r - from.r) * amount, from.g + (to.g - from.g) * amount,
            from.b + (to.b - from.b) * amount, from.a + (to.a - from.a) * amount};
}

Colour scaled(Colour colour, float factor) {
    return {colour.r * factor, colour.g * factor, colour.b * factor, colour.a};
}

Colour added(Colour a, Colour b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b, a.a};
}

Picture::Picture(int width, int height, Colour fill)
    : width(width), height(height), pixels(static_cast<std::size_t>(width) * height, fill) {}

float clamp01(float value) {
    return std::clamp(value, 0.0f, 1.0f);
}

float smoothStep(float edge0, float edge1, float value) {
    const float t = clamp01((value - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

namespace {

std::uint8_t toByte(float channel) {
    return static_cast<std::uint8_t>(std::lround(clamp01(channel) * 255.0f));
}

} // namespace

std::vector<std::uint8_t> Picture::rgbBytes() const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(pixels.size() * 3);
    for (const Colour& pixel : pixels) {
        bytes.push_back(toByte(pixel.r));
        bytes.push_back(toByte(pixel.g));
        bytes.push_back(toByte(pixel.b));
    }
    return bytes;
}

std::vector<std::uint8_t> Picture::rgbaBytes() const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(pixels.size() * 4);
    for (const Colour& pixel : pixels) {
        bytes.push_back(toByte(pixel.r));
        bytes.push_back(toByte(pixel.g));
        bytes.push_back(toByte(pixel.b));
        bytes.push_back(toByte(pixel.a));
    }
    return bytes;
}
