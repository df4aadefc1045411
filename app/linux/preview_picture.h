#pragma once

#include <cstdint>
#include <vector>

// The fixed picture the preview shows: a small view of the Sun, a planet and stars, painted by the program
// itself, since a preview reads no data file.
inline constexpr int previewPictureWidth = 155;
inline constexpr int previewPictureHeight = 115;

// The picture painted at `width` × `height` pixels, as RGB bytes, top row first.
std::vector<std::uint8_t> previewPicture(int width, int height);

// What a preview window of that size shows: the picture as large as fits, its shape kept and centred, on
// black.
std::vector<std::uint8_t> previewPictureIn(int windowWidth, int windowHeight);
