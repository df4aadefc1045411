#pragma once

#include "data/show_files.h"
#include "data/texture_upload.h"

#include <GL/gl.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A decoded JPEG picture: red, green, blue bytes, rows packed with no padding, bottom row first (the order
// OpenGL takes texture rows in).
struct DecodedImage {
    int rowBytes = 0; // width × 3
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // rowBytes × height bytes
};

// Opens the archive member and decodes it. A missing member shows "ARCH:Can't load JPG file: <name>"
// (caption "Error"); a picture that cannot be decoded fails with nothing shown.
bool loadJpeg(ShowFiles& files, std::string_view memberName, DecodedImage& image);

// A JPEG header can promise up to 65500 × 65500 pixels in a file of a few hundred bytes (missing data
// decodes as grey), so every decoder refuses a picture larger than this before allocating its output. No
// texture of the show comes anywhere near it; 4096 × 4096 pixels keep, with their mipmaps, a third of the
// show's memory budget, and decoding them takes some 150 MB more for a moment.
constexpr unsigned long maxJpegPixels = 16ul * 1024 * 1024;

// A progressive picture refines its pixels scan by scan, and every scan passes over the whole picture; a file
// of a few hundred bytes can repeat an empty scan thousands of times. Encoders write a dozen or so.
constexpr int maxJpegScans = 64;

// Decodes a whole JPEG file already in memory. Colour and greyscale pictures come out as red, green, blue;
// CMYK and YCCK pictures are refused. On failure `image` is empty. The build picks the decoder: libjpeg where
// it is found, the Windows Imaging Component on a Windows build without it.
bool decodeJpeg(std::span<const std::uint8_t> file, DecodedImage& image);

// Loads the member and makes a mipmapped RGB texture of it; 0 when the picture cannot be loaded. `lit`, when
// given, receives the picture's lit box.
GLuint createJpegTexture(ShowFiles& files, std::string_view memberName, const PictureAdmission& admit = {},
                         LitBox* lit = nullptr);

// The same for a whole file in memory. When it fails, `why` (when given) says why in a few words ("not a
// picture", "too large (more than 16777216 pixels)"); it stays empty when `admit` refused the picture. A
// failed allocation is passed on as std::bad_alloc.
GLuint jpegTextureOf(std::span<const std::uint8_t> file, const PictureAdmission& admit, LitBox* lit,
                     std::string* why);
