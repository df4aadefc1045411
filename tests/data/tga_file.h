#pragma once

#include <cstdint>
#include <vector>

// A TGA file put together field by field, so a test can make any header, valid or not.
struct TgaFile {
    std::uint8_t type = 2;
    std::uint8_t depth = 32;
    std::uint16_t width = 1;
    std::uint16_t height = 1;
    std::vector<std::uint8_t> id = {};
    std::vector<std::uint8_t> colourMap = {}; // present (colour-map type 1) when not empty
    std::uint8_t colourMapEntrySize = 24;
    std::vector<std::uint8_t> data = {}; // pixel data exactly as stored

    std::vector<std::uint8_t> bytes() const;
};
