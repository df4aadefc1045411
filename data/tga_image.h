#pragma once

#include "data/show_files.h"
#include "data/texture_upload.h"

#include <GL/gl.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A TGA picture: the fields of the 18-byte file header as stored (little-endian in the file), then the
// decoded pixels. Rows stay in file order, so the usual bottom-up TGA comes out bottom-up.
struct TgaHeader {
    std::uint8_t idLength = 0;
    std::uint8_t colorMapType = 0; // 1 when a colour map follows the id field
    std::uint8_t imageType =
        0; // 1, 2, 3: colour-mapped, true colour, grey; 9, 10, 11: the same run-length encoded
    std::uint16_t colorMapFirstEntry = 0; // not used: palette indices count from 0
    std::uint16_t colorMapLength = 0;     // palette entries
    std::uint8_t colorMapEntrySize = 0;   // bits per palette entry
    std::uint16_t xOrigin = 0;
    std::uint16_t yOrigin = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    // Bits per pixel as stored; after decoding the depth of `pixels`: 8 for grey, 24 for blue, green, red
    // (true colour, 16-bit and colour-mapped pictures), 32 for red, green, blue, alpha.
    std::uint8_t pixelDepth = 0;
    std::uint8_t imageDescriptor = 0; // not used
    std::vector<std::uint8_t> pixels;
};

// Opens the archive member and decodes it. A missing member fails silently; so does a type the decoder
// does not take (only 1, 2, 3, 9, 10 and 11, colour maps only with 24-bit entries and 8-bit indices).
// A depth other than 8, 16, 24 or 32 also shows "Unsupported image depth.".
bool loadTga(ShowFiles& files, std::string_view memberName, TgaHeader& image);

// The same for a whole file already in memory. Every read stays inside `file`: a header that promises
// more pixels than the data holds, or a palette index past the palette, fails. On failure `image` holds no
// pixels.
bool decodeTga(std::span<const std::uint8_t> file, TgaHeader& image);

// Fills `output` from run-length packets at the front of `input`, consuming them. `depth` is the stored
// depth (8, 16, 24 or 32); every pixel is converted as it is written: 16-bit values to blue, green, red
// bytes, 32-bit pixels to red, green, blue, alpha. Packets may cross row ends; one that would run past the
// end of the output is cut there. False when the input runs out first.
bool decodeTgaRle(std::span<std::uint8_t> output, int depth, std::span<const std::uint8_t>& input);

// The decoded pixels as red, green, blue, alpha: blue-green-red becomes red-green-blue with alpha 255, and
// grey becomes grey in all three colours.
std::vector<std::uint8_t> tgaPixelsAsRgba(const TgaHeader& image);

// Loads the member and makes a mipmapped RGBA texture of it; 0 when the picture cannot be loaded.
GLuint createTgaTexture(ShowFiles& files, std::string_view memberName, const PictureAdmission& admit = {});

// The same for a whole file in memory, as jpegTextureOf does for JPEG files.
GLuint tgaTextureOf(std::span<const std::uint8_t> file, const PictureAdmission& admit, std::string* why);
