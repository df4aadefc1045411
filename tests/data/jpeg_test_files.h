#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A file of tests/data/jpeg, made by write_jpeg_files with the show's JPEG writer at quality 100 and no
// chroma subsampling unless its name says otherwise: decoded colours stay within a few levels of the
// originals. Every build reads the same files, whichever decoder it has.
inline Bytes jpegTestFile(const std::string& name) {
    std::ifstream in(std::string(HELIOX_SOURCE_DIR) + "/tests/data/jpeg/" + name, std::ios::binary);
    EXPECT_TRUE(in) << "missing test file " << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The first marker with this code (FF code) in the file.
inline Bytes::iterator findMarker(Bytes& file, std::uint8_t code) {
    const std::uint8_t marker[] = {0xFF, code};
    return std::search(file.begin(), file.end(), std::begin(marker), std::end(marker));
}
