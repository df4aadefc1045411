#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Frames as PNG files, in the order glReadPixels gives them: RGBA, bottom row first. A frame is always a new
// file: what was at its path before, a symbolic link included, is replaced, never written through.
bool writePng(const std::string& path, int width, int height, std::span<const std::uint8_t> rgbaBottomUp,
              std::string& error);
bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgbaBottomUp,
             std::string& error);
