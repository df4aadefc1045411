#include "app/headless/png_image.h"

#include "base/printable_text.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

// libpng's simplified API takes a negative row stride for images stored bottom row first.
png_int_32 bottomUpStride(int width) {
    return -static_cast<png_int_32>(width) * 4;
}

} // namespace

bool writePng(const std::string& path, int width, int height, std::span<const std::uint8_t> rgbaBottomUp,
              std::string& error) {
    if (width <= 0 || height <= 0 || rgbaBottomUp.size() != static_cast<std::size_t>(width) * height * 4) {
        error = printableText(path) + ": the picture's size does not match its pixels";
        return false;
    }
    // Whatever is at the path goes first and the file is made anew, never opened: a symbolic link left there
    // (by anyone who can write to the folder) is replaced, not written through to the file it names.
    if (unlink(path.c_str()) != 0 && errno != ENOENT) {
        error = printableText(path) + ": cannot replace it: " + std::strerror(errno);
        return false;
    }
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    std::FILE* file = fd < 0 ? nullptr : fdopen(fd, "wb");
    if (!file) {
        error = printableText(path) + ": " + std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    const bool written =
        png_image_write_to_stdio(&image, file, 0, rgbaBottomUp.data(), bottomUpStride(width), nullptr);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = printableText(path) + ": " + (written ? std::strerror(errno) : image.message);
        unlink(path.c_str());
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
        error = printableText(path) + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    rgbaBottomUp.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgbaBottomUp.data(), bottomUpStride(width), nullptr)) {
        error = printableText(path) + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}
