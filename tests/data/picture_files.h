#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "tests/data/tga_file.h"
#include "tools/texgen/jpeg_writer.h"

// Small picture files made in the tests: TGA by hand (tga_file.h), JPEG with the show's JPEG writer at
// quality 100 and no chroma subsampling, so decoded colours stay within a few levels of the originals.

inline std::vector<std::uint8_t> rgbJpeg(int width, int height,
                                         const std::vector<std::uint8_t>& topRowFirst) {
    return jpegFile(width, height, JCS_RGB, JCS_YCbCr, topRowFirst);
}

// An 8 × 8 JPEG of one colour.
inline std::vector<std::uint8_t> solidJpeg(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 8 * 8; ++i)
        pixels.insert(pixels.end(), {r, g, b});
    return rgbJpeg(8, 8, pixels);
}

// The 4 × 4 picture of the texture tests, in picture order: red, green on top; blue, white below; each
// colour fills a 2 × 2 quadrant, so a linear filter sampling inside a quadrant sees one colour.
std::vector<std::uint8_t> quadrantsTopRowFirst(int componentsPerPixel);
