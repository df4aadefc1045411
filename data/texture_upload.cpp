#include "data/texture_upload.h"

#include "data/jpeg_image.h"

#include <GL/glext.h>
#include <GL/glu.h>

#include <cstring>

#include <algorithm>

LitBox litBoxOfRgb(const std::uint8_t* pixels, int width, int height) {
    const auto lit = [&](int x, int y) {
        const std::uint8_t* pixel = pixels + (static_cast<std::size_t>(y) * width + x) * 3;
        return (pixel[0] | pixel[1] | pixel[2]) != 0;
    };
    const auto litRow = [&](int y) {
        for (int x = 0; x < width; ++x)
            if (lit(x, y))
                return true;
        return false;
    };
    // Each edge is searched from outside in and stops at the first light, so a picture lit to its edges,
    // as most are, costs a row or a column per edge rather than every pixel.
    int bottom = 0;
    while (bottom < height && !litRow(bottom))
        ++bottom;
    if (bottom == height)
        return {0, 0, 0, 0};
    int top = height - 1;
    while (!litRow(top))
        --top;
    const auto litColumn = [&](int x) {
        for (int y = bottom; y <= top; ++y)
            if (lit(x, y))
                return true;
        return false;
    };
    int left = 0;
    while (!litColumn(left))
        ++left;
    int right = width - 1;
    while (!litColumn(right))
        --right;
    // One texel more each way: a sample half a texel outside the lit texels still blends them in.
    const auto at = [](int texel, int size) {
        return static_cast<float>(std::clamp(texel, 0, size)) / static_cast<float>(size);
    };
    return {at(left - 1, width), at(right + 2, width), at(bottom - 1, height), at(top + 2, height)};
}

std::uint64_t textureBytes(int width, int height) {
    return std::uint64_t(width) * std::uint64_t(height) * 4 * 4 / 3;
}

bool pictureSizeFits(int width, int height, std::string* why) {
    if (std::uint64_t(width) * std::uint64_t(height) <= maxJpegPixels)
        return true;
    if (why)
        *why = "too large (more than " + std::to_string(maxJpegPixels) + " pixels)";
    return false;
}

void filterAlongSqueezedFootprints() {
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!extensions || !std::strstr(extensions, "GL_EXT_texture_filter_anisotropic"))
        return;
    float most = 0;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &most);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, std::min(most, 4.0f));
}

GLuint createMipmappedTexture(GLint components, int width, int height, GLenum format,
                              const std::uint8_t* pixels) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    // Rows are packed with no padding; the default alignment of 4 would misread rows of 3-byte pixels.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, texture);
    // The filters are set before the levels arrive: told from the start that every level will follow, Mesa
    // makes room for the whole chain once, where otherwise it holds the first level twice (about 10 bytes
    // a pixel instead of 6).
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (gluBuild2DMipmaps(GL_TEXTURE_2D, components, width, height, format, GL_UNSIGNED_BYTE, pixels) != 0) {
        glDeleteTextures(1, &texture);
        return 0;
    }
    return texture;
}
