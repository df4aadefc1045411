#pragma once

#include <cstdint>
#include <span>

// What a JPEG file says about itself before its first scan, read without decoding anything: a decoder that
// cannot be told to refuse a picture part way (the Windows Imaging Component) is checked with it first.
struct JpegHeader {
    int width = 0;
    int height = 0;
    int components = 0;          // 1 greyscale, 3 colour, 4 CMYK or YCCK
    bool restartMarkers = false; // a restart interval is set before the first scan
    bool ended = false;          // an end-of-image marker follows the first scan: the file is not cut off
};

// Walks the marker segments from the start-of-image marker to the first scan. Fails when the file does not
// start with one, when a segment runs past the end of the file, or when no frame header comes before the
// first scan; `header` is then meaningless.
bool readJpegHeader(std::span<const std::uint8_t> file, JpegHeader& header);
