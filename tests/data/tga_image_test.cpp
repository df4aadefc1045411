#include "data/tga_image.h"

#include "base/user_message.h"
#include "tests/data/tga_file.h"

#include <gtest/gtest.h>

#include <string>

using Bytes = std::vector<std::uint8_t>;

namespace {

// Raw data of six pixels P0 P1 P2 P2 P2 P5 of `size` bytes each, and the same as run-length packets: a
// raw packet of two, a run of three that crosses the end of the first row of a 3 × 2 picture, and a raw
// packet of one.
struct SixPixels {
    Bytes p0, p1, p2, p5;

    Bytes raw() const {
        Bytes out;
        for (const Bytes* pixel : {&p0, &p1, &p2, &p2, &p2, &p5})
            out.insert(out.end(), pixel->begin(), pixel->end());
        return out;
    }
    Bytes runLength() const {
        Bytes out{0x01};
        out.insert(out.end(), p0.begin(), p0.end());
        out.insert(out.end(), p1.begin(), p1.end());
        out.push_back(0x82);
        out.insert(out.end(), p2.begin(), p2.end());
        out.push_back(0x00);
        out.insert(out.end(), p5.begin(), p5.end());
        return out;
    }
};

struct DepthCase {
    std::uint8_t rawType;
    std::uint8_t depth;
    SixPixels stored;
    Bytes palette; // colour-mapped pictures only
    std::uint8_t decodedDepth;
    Bytes decoded;
};

const DepthCase depthCases[] = {
    // Grey stays one byte per pixel.
    {3, 8, {{1}, {2}, {3}, {6}}, {}, 8, {1, 2, 3, 3, 3, 6}},
    // Five-bit blue, green and red scaled to eight bits, blue first; the top bit is ignored.
    {2,
     16,
     {{0xFF, 0x7F}, {0x1F, 0x00}, {0xE0, 0x03}, {0x00, 0xFC}},
     {},
     24,
     {248, 248, 248, 248, 0, 0, 0, 248, 0, 0, 248, 0, 0, 248, 0, 0, 0, 248}},
    // 24-bit pixels keep their stored blue, green, red order.
    {2,
     24,
     {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}},
     {},
     24,
     {1, 2, 3, 4, 5, 6, 7, 8, 9, 7, 8, 9, 7, 8, 9, 10, 11, 12}},
    // 32-bit blue, green, red, alpha becomes red, green, blue, alpha.
    {2, 32, {{10, 20, 30, 40}, {1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}}, {}, 32, {30, 20, 10, 40, 3, 2,
                                                                                      1,  4,  7,  6,  5, 8,
                                                                                      7,  6,  5,  8,  7, 6,
                                                                                      5,  8,  11, 10, 9, 12}},
    // 8-bit indices into 24-bit palette entries, which are copied as stored.
    {1,
     8,
     {{2}, {0}, {1}, {2}},
     {10, 11, 12, 20, 21, 22, 30, 31, 32},
     24,
     {30, 31, 32, 10, 11, 12, 20, 21, 22, 20, 21, 22, 20, 21, 22, 30, 31, 32}},
};

TgaHeader decoded(const TgaFile& file) {
    TgaHeader image;
    EXPECT_TRUE(decodeTga(file.bytes(), image));
    return image;
}

bool decodes(const TgaFile& file) {
    TgaHeader image;
    return decodeTga(file.bytes(), image);
}

} // namespace

TEST(TgaImage, DecodesEveryTypeAtEveryDepthItTakesRawAndRunLength) {
    for (const DepthCase& c : depthCases) {
        for (const bool runLength : {false, true}) {
            SCOPED_TRACE("type " + std::to_string(c.rawType + (runLength ? 8 : 0)) + " depth " +
                         std::to_string(c.depth));
            TgaFile file{.type = static_cast<std::uint8_t>(c.rawType + (runLength ? 8 : 0)),
                         .depth = c.depth,
                         .width = 3,
                         .height = 2,
                         .colourMap = c.palette,
                         .data = runLength ? c.stored.runLength() : c.stored.raw()};
            const TgaHeader image = decoded(file);
            EXPECT_EQ(image.width, 3);
            EXPECT_EQ(image.height, 2);
            EXPECT_EQ(image.pixelDepth, c.decodedDepth);
            EXPECT_EQ(image.pixels, c.decoded);
        }
    }
}

TEST(TgaImage, RunLengthPacketsFillExactlyTheOutput) {
    // A run of six for a 2 × 2 picture is cut at the fourth pixel.
    TgaFile cut{.type = 10, .depth = 24, .width = 2, .height = 2, .data = {0x85, 1, 2, 3}};
    EXPECT_EQ(decoded(cut).pixels, (Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}));
    // So is a raw packet of three when only two pixels are left; it needs only the pixels it writes.
    TgaFile rawCut{.type = 11, .depth = 8, .width = 3, .height = 1, .data = {0x00, 7, 0x02, 8, 9}};
    EXPECT_EQ(decoded(rawCut).pixels, (Bytes{7, 8, 9}));
    // A two-pixel run packet (0x81) of a 32-bit pixel gives two reordered pixels.
    TgaFile run32{.type = 10, .depth = 32, .width = 2, .height = 1, .data = {0x81, 10, 20, 30, 40}};
    EXPECT_EQ(decoded(run32).pixels, (Bytes{30, 20, 10, 40, 30, 20, 10, 40}));
}

TEST(TgaImage, PassesOverTheIdFieldAndAColourMapItDoesNotUse) {
    TgaFile file{.type = 2,
                 .depth = 24,
                 .width = 1,
                 .height = 1,
                 .id = {'h', 'i'},
                 .colourMap = {9, 9, 9, 9, 9, 9},
                 .data = {1, 2, 3}};
    EXPECT_EQ(decoded(file).pixels, (Bytes{1, 2, 3}));
}

TEST(TgaImage, FailsWhenTheDataHoldsLessThanTheHeaderPromises) {
    const TgaFile whole{.type = 2, .depth = 24, .width = 2, .height = 1, .data = {1, 2, 3, 4, 5, 6}};
    Bytes file = whole.bytes();
    for (std::size_t size = 0; size < file.size(); ++size) {
        TgaHeader image;
        EXPECT_FALSE(decodeTga({file.data(), size}, image)) << size << " bytes";
        EXPECT_TRUE(image.pixels.empty());
    }
    // Run-length data that stops before the picture is full, in a packet header or in a packet.
    EXPECT_FALSE(decodes({.type = 10, .depth = 24, .width = 3, .height = 1, .data = {0x81, 1, 2, 3}}));
    EXPECT_FALSE(
        decodes({.type = 10, .depth = 24, .width = 3, .height = 1, .data = {0x02, 1, 2, 3, 4, 5, 6}}));
    EXPECT_FALSE(decodes({.type = 10, .depth = 24, .width = 3, .height = 1, .data = {0x82, 1, 2}}));
    // The largest picture a header can name, over a few bytes: refused before anything is allocated.
    EXPECT_FALSE(decodes({.type = 2, .depth = 32, .width = 65535, .height = 65535, .data = {1, 2, 3, 4}}));
    EXPECT_FALSE(
        decodes({.type = 10, .depth = 32, .width = 65535, .height = 65535, .data = {0xFF, 1, 2, 3, 4}}));
    // Above the pixel cap JPEG pictures have, refused although the run-length data fills every pixel.
    constexpr std::uint16_t side = 8193;
    Bytes runs;
    for (std::size_t pixels = 0; pixels < std::size_t{side} * side; pixels += 128)
        runs.insert(runs.end(), {0xFF, 0x40});
    EXPECT_FALSE(decodes({.type = 11, .depth = 8, .width = side, .height = side, .data = runs}));
    // A colour map shorter than its stated length.
    TgaFile shortMap{.type = 1, .depth = 8, .width = 1, .height = 1, .colourMap = {1, 2, 3, 4, 5, 6}};
    Bytes shortMapFile = shortMap.bytes();
    shortMapFile.resize(shortMapFile.size() - 1);
    TgaHeader image;
    EXPECT_FALSE(decodeTga(shortMapFile, image));
}

TEST(TgaImage, RefusesAPaletteIndexPastThePalette) {
    EXPECT_FALSE(decodes(
        {.type = 1, .depth = 8, .width = 2, .height = 1, .colourMap = {1, 2, 3, 4, 5, 6}, .data = {1, 2}}));
    EXPECT_FALSE(
        decodes({.type = 9, .depth = 8, .width = 2, .height = 1, .colourMap = {1, 2, 3}, .data = {0x81, 1}}));
}

TEST(TgaImage, RefusesTypesDepthsAndColourMapsItDoesNotTakeAndNamesOnlyBadDepths) {
    std::vector<std::string> messages;
    const UserMessageHandler previous =
        setUserMessageHandler([&](const char* caption, const std::string& text) {
            messages.push_back(std::string(caption) + "|" + text);
        });

    const Bytes pixel(4, 0);
    EXPECT_FALSE(decodes({.type = 4, .depth = 32, .data = pixel}));
    EXPECT_FALSE(decodes({.type = 0, .depth = 32, .data = pixel}));
    // Colour-mapped pictures need a colour map of 24-bit entries and 8-bit indices.
    EXPECT_FALSE(decodes({.type = 1, .depth = 8, .data = {0}}));
    EXPECT_FALSE(
        decodes({.type = 1, .depth = 8, .colourMap = {1, 2, 3, 4}, .colourMapEntrySize = 32, .data = {0}}));
    EXPECT_FALSE(decodes({.type = 1, .depth = 16, .colourMap = {1, 2, 3}, .data = {0, 0}}));
    // Types that do not fit their depth.
    EXPECT_FALSE(decodes({.type = 2, .depth = 8, .data = pixel}));
    EXPECT_FALSE(decodes({.type = 3, .depth = 24, .data = pixel}));
    EXPECT_FALSE(decodes({.type = 11, .depth = 32, .data = pixel}));
    // A picture with no pixels.
    EXPECT_FALSE(decodes({.type = 2, .depth = 32, .width = 0, .height = 1, .data = pixel}));
    EXPECT_TRUE(messages.empty());

    EXPECT_FALSE(decodes({.type = 2, .depth = 15, .data = pixel}));
    EXPECT_EQ(messages, std::vector<std::string>{"TGA|Unsupported image depth."});
    setUserMessageHandler(previous);
}

TEST(TgaImage, GivesRgbaForEveryDecodedDepth) {
    TgaHeader bgr;
    bgr.pixelDepth = 24;
    bgr.pixels = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(tgaPixelsAsRgba(bgr), (Bytes{3, 2, 1, 255, 6, 5, 4, 255}));
    TgaHeader grey;
    grey.pixelDepth = 8;
    grey.pixels = {7, 9};
    EXPECT_EQ(tgaPixelsAsRgba(grey), (Bytes{7, 7, 7, 255, 9, 9, 9, 255}));
    TgaHeader rgba;
    rgba.pixelDepth = 32;
    rgba.pixels = {1, 2, 3, 4};
    EXPECT_EQ(tgaPixelsAsRgba(rgba), rgba.pixels);
}
