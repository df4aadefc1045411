#include "data/tga_image.h"

#include "base/user_message.h"
#include "data/jpeg_image.h"
#include "data/resource_file.h"
#include "data/texture_upload.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t headerSize = 18;

// Takes the next n bytes off the front of `input`; null, taking nothing, when fewer are left.
const std::uint8_t* take(std::span<const std::uint8_t>& input, std::size_t n) {
    if (n > input.size())
        return nullptr;
    const std::uint8_t* taken = input.data();
    input = input.subspan(n);
    return taken;
}

std::uint16_t little16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

int storedBytes(int depth) {
    return depth / 8;
}

// 16-bit pixels widen to three bytes; every other depth keeps its size.
int decodedBytes(int depth) {
    return depth == 16 ? 3 : depth / 8;
}

void convertPixel(const std::uint8_t* stored, std::uint8_t* decoded, int depth) {
    if (depth == 16) {
        // Five bits each of blue, green and red, scaled to eight; the top bit is not used.
        const unsigned value = little16(stored);
        decoded[0] = static_cast<std::uint8_t>((value & 0x1F) << 3);
        decoded[1] = static_cast<std::uint8_t>(((value >> 5) & 0x1F) << 3);
        decoded[2] = static_cast<std::uint8_t>(((value >> 10) & 0x1F) << 3);
    } else if (depth == 32) {
        // Stored blue, green, red, alpha; OpenGL wants red, green, blue, alpha.
        decoded[0] = stored[2];
        decoded[1] = stored[1];
        decoded[2] = stored[0];
        decoded[3] = stored[3];
    } else {
        std::memcpy(decoded, stored, static_cast<std::size_t>(storedBytes(depth)));
    }
}

bool decodeRaw(std::span<std::uint8_t> output, int depth, std::span<const std::uint8_t>& input) {
    const std::size_t pixelCount = output.size() / decodedBytes(depth);
    const std::uint8_t* stored = take(input, pixelCount * storedBytes(depth));
    if (!stored)
        return false;
    for (std::size_t i = 0; i < pixelCount; ++i)
        convertPixel(stored + i * storedBytes(depth), &output[i * decodedBytes(depth)], depth);
    return true;
}

// Whether `available` bytes can possibly hold `pixelCount` pixels, checked before the output is
// allocated: raw data needs every pixel, run-length data at least one packet of one pixel per 128.
bool dataCanHold(std::size_t available, std::size_t pixelCount, int depth, bool runLength) {
    const std::size_t bytes = static_cast<std::size_t>(storedBytes(depth));
    if (runLength)
        return pixelCount <= available / (1 + bytes) * 128;
    return pixelCount <= available / bytes;
}

bool decodePixels(std::span<const std::uint8_t>& input, int depth, bool runLength, std::size_t pixelCount,
                  std::vector<std::uint8_t>& output) {
    if (pixelCount == 0 || !dataCanHold(input.size(), pixelCount, depth, runLength))
        return false;
    output.assign(pixelCount * decodedBytes(depth), 0);
    return runLength ? decodeTgaRle(output, depth, input) : decodeRaw(output, depth, input);
}

// 8-bit indices into a palette of 24-bit blue, green, red entries.
bool decodeColourMapped(std::span<const std::uint8_t>& input, bool runLength, std::size_t pixelCount,
                        std::span<const std::uint8_t> palette, std::vector<std::uint8_t>& output) {
    std::vector<std::uint8_t> indices;
    if (!decodePixels(input, 8, runLength, pixelCount, indices))
        return false;
    const std::size_t paletteEntries = palette.size() / 3;
    output.resize(pixelCount * 3);
    for (std::size_t i = 0; i < pixelCount; ++i) {
        if (indices[i] >= paletteEntries)
            return false;
        std::memcpy(&output[i * 3], &palette[indices[i] * 3], 3);
    }
    return true;
}

bool decodeTgaFile(std::span<const std::uint8_t> file, TgaHeader& image) {
    const std::uint8_t* header = take(file, headerSize);
    if (!header)
        return false;
    image.idLength = header[0];
    image.colorMapType = header[1];
    image.imageType = header[2];
    image.colorMapFirstEntry = little16(header + 3);
    image.colorMapLength = little16(header + 5);
    image.colorMapEntrySize = header[7];
    image.xOrigin = little16(header + 8);
    image.yOrigin = little16(header + 10);
    image.width = little16(header + 12);
    image.height = little16(header + 14);
    image.pixelDepth = header[16];
    image.imageDescriptor = header[17];
    if (!take(file, image.idLength))
        return false;

    const int type = image.imageType;
    const bool colourMapped = type == 1 || type == 9;
    if (colourMapped && (image.colorMapType != 1 || image.colorMapEntrySize != 24))
        return false;
    if (!colourMapped && type != 2 && type != 3 && type != 10 && type != 11)
        return false;
    // True-colour and grey pictures may carry a colour map as well; it is passed over so that their pixels
    // are read from where they start.
    std::span<const std::uint8_t> palette;
    if (image.colorMapType == 1) {
        const std::size_t mapBytes = std::size_t{image.colorMapLength} * ((image.colorMapEntrySize + 7) / 8);
        const std::uint8_t* map = take(file, mapBytes);
        if (!map)
            return false;
        palette = {map, mapBytes};
    }

    const bool runLength = type >= 9;
    const std::size_t pixelCount = std::size_t{image.width} * image.height;
    // Run-length data backs a huge picture with a few bytes per 128 pixels, and an archive packs those to
    // almost nothing: the same cap as for JPEG pictures, before anything is allocated.
    if (pixelCount > maxJpegPixels)
        return false;
    switch (image.pixelDepth) {
    case 8:
        if (colourMapped) {
            image.pixelDepth = 24;
            return decodeColourMapped(file, runLength, pixelCount, palette, image.pixels);
        }
        return (type == 3 || type == 11) && decodePixels(file, 8, runLength, pixelCount, image.pixels);
    case 16:
        image.pixelDepth = 24;
        return (type == 2 || type == 10) && decodePixels(file, 16, runLength, pixelCount, image.pixels);
    case 24:
    case 32:
        return (type == 2 || type == 10) &&
               decodePixels(file, image.pixelDepth, runLength, pixelCount, image.pixels);
    default:
        showUserMessage("TGA", "Unsupported image depth.");
        return false;
    }
}

} // namespace

bool decodeTgaRle(std::span<std::uint8_t> output, int depth, std::span<const std::uint8_t>& input) {
    const std::size_t pixelBytes = static_cast<std::size_t>(decodedBytes(depth));
    const std::size_t storedSize = static_cast<std::size_t>(storedBytes(depth));
    const std::size_t pixelCount = output.size() / pixelBytes;
    for (std::size_t done = 0; done < pixelCount;) {
        const std::uint8_t* packet = take(input, 1);
        if (!packet)
            return false;
        const std::size_t count = std::min<std::size_t>((*packet & 0x7F) + 1, pixelCount - done);
        std::uint8_t* first = &output[done * pixelBytes];
        if (*packet & 0x80) {
            const std::uint8_t* stored = take(input, storedSize);
            if (!stored)
                return false;
            convertPixel(stored, first, depth);
            for (std::size_t i = 1; i < count; ++i)
                std::memcpy(first + i * pixelBytes, first, pixelBytes);
        } else {
            const std::uint8_t* stored = take(input, count * storedSize);
            if (!stored)
                return false;
            for (std::size_t i = 0; i < count; ++i)
                convertPixel(stored + i * storedSize, first + i * pixelBytes, depth);
        }
        done += count;
    }
    return true;
}

bool decodeTga(std::span<const std::uint8_t> file, TgaHeader& image) {
    image = {};
    if (decodeTgaFile(file, image))
        return true;
    image.pixels = {};
    return false;
}

bool loadTga(ShowFiles& files, std::string_view memberName, TgaHeader& image) {
    ResourceFile file;
    if (!file.open(memberName, files)) {
        image = {};
        return false;
    }
    return decodeTga({file.data(), file.size()}, image);
}

std::vector<std::uint8_t> tgaPixelsAsRgba(const TgaHeader& image) {
    if (image.pixelDepth == 32)
        return image.pixels;
    const std::size_t bytes = image.pixelDepth / 8;
    const std::size_t pixelCount = image.pixels.size() / bytes;
    std::vector<std::uint8_t> rgba(pixelCount * 4);
    for (std::size_t i = 0; i < pixelCount; ++i) {
        const std::uint8_t* pixel = &image.pixels[i * bytes];
        std::uint8_t* out = &rgba[i * 4];
        if (bytes == 3) {
            out[0] = pixel[2];
            out[1] = pixel[1];
            out[2] = pixel[0];
        } else {
            out[0] = out[1] = out[2] = pixel[0];
        }
        out[3] = 255;
    }
    return rgba;
}

GLuint createTgaTexture(ShowFiles& files, std::string_view memberName, const PictureAdmission& admit) {
    ResourceFile file;
    if (!file.open(memberName, files))
        return 0;
    return tgaTextureOf({file.data(), file.size()}, admit, nullptr);
}

GLuint tgaTextureOf(std::span<const std::uint8_t> file, const PictureAdmission& admit, std::string* why) {
    const auto fail = [why](std::string reason) -> GLuint {
        if (why)
            *why = std::move(reason);
        return 0;
    };
    if (file.size() < headerSize)
        return fail("not a picture");
    const int width = little16(&file[12]);
    const int height = little16(&file[14]);
    if (!pictureSizeFits(width, height, why))
        return 0;
    if (admit && !admit(width, height))
        return 0;
    TgaHeader image;
    if (!decodeTga(file, image))
        return fail("damaged or not a picture");
    const std::vector<std::uint8_t> rgba = tgaPixelsAsRgba(image);
    image.pixels = {}; // the picture is held once, not twice, while GL makes its levels
    const GLuint texture = createMipmappedTexture(4, image.width, image.height, GL_RGBA, rgba.data());
    return texture ? texture : fail(noTextureMade);
}
