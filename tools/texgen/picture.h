#pragma once

#include <cstdint>
#include <vector>

// A colour with alpha, each channel in [0, 1] while painting; values outside are clamped when stored.
struct Colour {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 1;
};

Colour mix(Colour from, Colour to, float amount);
Colour scaled(Colour colour, float factor); // the colour channels only; alpha stays
Colour added(Colour a, Colour b);           // the colour channels only; alpha of `a`

// A painted picture, top row first, as the painters think of it.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;

    Picture(int width, int height, Colour fill = {0, 0, 0, 1});
    Colour& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const Colour& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // Red, green, blue bytes, top row first.
    std::vector<std::uint8_t> rgbBytes() const;
    // Red, green, blue, alpha bytes, top row first.
    std::vector<std::uint8_t> rgbaBytes() const;
};

float clamp01(float value);
float smoothStep(float edge0, float edge1, float value);
