#pragma once

#include <cstdint>
#include <span>
#include <vector>

// An uncompressed 32-bit true-colour TGA (type 2) of red, green, blue, alpha pixels given top row first.
// The file stores rows bottom-up, the TGA default and the order OpenGL takes texture rows in.
std::vector<std::uint8_t> tgaFile(int width, int height, std::span<const std::uint8_t> rgbaTopRowFirst);
