#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Saves what the current GL context has drawn into its back buffer (width × height from the origin) to
// `path` as an uncompressed 24-bit BMP. False when the file cannot be written.
bool saveBackBufferAsBitmap(const std::string& path, int width, int height);

// The BMP file for rows of RGB bytes, bottom row first, as glReadPixels gives them.
std::vector<std::uint8_t> bitmapFile(int width, int height, const std::vector<std::uint8_t>& rgbBottomUp);
