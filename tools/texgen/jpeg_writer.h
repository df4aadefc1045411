#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

struct JpegSettings {
    int quality = 100;
    // Halving the colour resolution shrinks the file; off keeps colours within a few levels of the input.
    bool subsampleChroma = false;
    int restartInterval = 0; // MCU rows between restart markers; 0 for none
};

// Encodes pixels given top row first with libjpeg's compressor. `inputSpace` says what the pixels are
// (JCS_RGB, JCS_GRAYSCALE, JCS_CMYK); `fileSpace` what the file stores. The pixels are ours, so a libjpeg
// error here is a programming error and ends the process through libjpeg's own error exit.
std::vector<std::uint8_t> jpegFile(int width, int height, J_COLOR_SPACE inputSpace, J_COLOR_SPACE fileSpace,
                                   const std::vector<std::uint8_t>& topRowFirst, JpegSettings settings = {});
