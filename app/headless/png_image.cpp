#include "app/headless/png_image.h"

#include <png.h>

#include <cstring>

namespace {

// libpng's simplified API takes a negative row stride for images stored bottom row first.
png_int_32 bottomUpStride(int width) {
    return -static_cast<png_int_32>(width) * 4;
}

} // namespace

bool writePng(const std::string& path, int width, int height, std::span<const std::uint8_t> rgbaBottomUp,
              std::string& error) {
    if (width <= 0 || height <= 0 || rgbaBottomUp.size() != static_cast<std::size_t>(width) * height * 4) {
        error = path + ": the picture's size does not match its pixels";
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgbaBottomUp.data(), bottomUpStride(width),
                                 nullptr)) {
        error = path + ": " + image.message;
        return false;
    }
    return true;
}

bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgbaBottomUp,
             std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    rgbaBottomUp.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgbaBottomUp.data(), bottomUpStride(width), nullptr)) {
        error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}
