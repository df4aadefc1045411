#include "data/jpeg_image.h"
#include "data/tga_image.h"
#include "tools/texgen/giant_textures.h"
#include "tools/texgen/lettering_textures.h"
#include "tools/texgen/texture_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace {

// Every texture painted and encoded once for all the tests here: painting takes a few seconds.
const std::map<std::string, std::vector<std::uint8_t>>& paintedFiles() {
    static const auto files = [] {
        std::map<std::string, std::vector<std::uint8_t>> result;
        for (const TextureRecipe& recipe : textureRecipes())
            result[recipe.fileName] = encodeTexture(recipe, recipe.paint());
        return result;
    }();
    return files;
}

bool isPowerOfTwo(int n) {
    return n > 0 && (n & (n - 1)) == 0;
}

} // namespace

TEST(TextureTable, EveryFileDecodesWithTheSaversOwnDecodersAtItsPaintedSize) {
    for (const TextureRecipe& recipe : textureRecipes()) {
        SCOPED_TRACE(recipe.fileName);
        const std::string name = recipe.fileName;
        EXPECT_LE(name.size(), 22u); // what a texture entry's path holds after "textures\"
        const Picture picture = recipe.paint();
        const std::vector<std::uint8_t>& file = paintedFiles().at(name);
        if (recipe.format == TextureFormat::tga) {
            EXPECT_TRUE(name.ends_with(".tga"));
            TgaHeader image;
            ASSERT_TRUE(decodeTga(file, image));
            EXPECT_EQ(image.width, picture.width);
            EXPECT_EQ(image.height, picture.height);
            EXPECT_EQ(image.pixelDepth, 32);
            // Alpha must vary, or the picture could as well be a JPEG.
            std::uint8_t lowest = 255;
            std::uint8_t highest = 0;
            for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
                lowest = std::min(lowest, image.pixels[i]);
                highest = std::max(highest, image.pixels[i]);
            }
            EXPECT_LT(lowest, 40);
            EXPECT_GT(highest, 200);
        } else {
            EXPECT_TRUE(name.ends_with(".jpg"));
            DecodedImage image;
            ASSERT_TRUE(decodeJpeg(file, image));
            EXPECT_EQ(image.width, picture.width);
            EXPECT_EQ(image.height, picture.height);
        }
        // GL 1.x mipmaps of odd sizes are rescaled first; powers of two load faster and sharper.
        EXPECT_TRUE(isPowerOfTwo(picture.width) && isPowerOfTwo(picture.height));
    }
}

TEST(TextureTable, PaintingTwiceGivesTheSameBytes) {
    for (const TextureRecipe& recipe : textureRecipes()) {
        SCOPED_TRACE(recipe.fileName);
        EXPECT_EQ(encodeTexture(recipe, recipe.paint()), paintedFiles().at(recipe.fileName));
    }
}

// The clock lays its glyphs out at one fixed advance, so the ink of each must sit in the middle of its cell:
// a glyph off to one side stands apart from one neighbour and crowds the other ("10: 12:5 1").
TEST(ClockGlyphs, TheThirteenGlyphCellsAreLitAndCentredAndTheLastThreeDark) {
    DecodedImage image;
    ASSERT_TRUE(decodeJpeg(paintedFiles().at("c.jpg"), image));
    const int cell = image.width / 4;
    for (int glyph = 0; glyph < 16; ++glyph) {
        SCOPED_TRACE(glyph);
        // Cells count rows from the top; the decoded rows run bottom-up.
        const int left = (glyph % 4) * cell;
        const int top = (glyph / 4) * cell;
        int lit = 0;
        int brightest = 0;
        int inkLeft = cell, inkRight = -1; // the lit columns, from the cell's left edge
        for (int y = top; y < top + cell; ++y)
            for (int x = left; x < left + cell; ++x) {
                const int row = image.height - 1 - y;
                const int value = image.pixels[static_cast<std::size_t>(row) * image.rowBytes + x * 3 + 1];
                brightest = std::max(brightest, value);
                if (value > 128) {
                    ++lit;
                    inkLeft = std::min(inkLeft, x - left);
                    inkRight = std::max(inkRight, x - left);
                }
            }
        if (glyph < clockGlyphCount) {
            EXPECT_GT(lit, cell * cell / 100);
            EXPECT_NEAR((inkLeft + inkRight + 1) / 2.0, cell / 2.0, cell * 0.04) << "the ink is off centre";
        } else {
            EXPECT_LT(brightest, 24);
        }
    }
}

// The lightning is wrapped round a sphere and moved to a new place at every flash, so wherever the picture's
// right edge meets its left shows on the planet: a flash cut off there would end in a straight line. The
// step across that seam is no larger than the steps between neighbouring columns inside the picture.
TEST(Lightning, FlashesRunOnAcrossThePicturesLeftAndRightEdges) {
    const Picture picture = paintLightning(512, 256);
    float steepestInside = 0;
    float acrossSeam = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x + 1 < picture.width; ++x)
            steepestInside = std::max(steepestInside, std::abs(picture.at(x + 1, y).b - picture.at(x, y).b));
        acrossSeam = std::max(acrossSeam, std::abs(picture.at(0, y).b - picture.at(picture.width - 1, y).b));
    }
    EXPECT_GT(steepestInside, 0);
    EXPECT_LE(acrossSeam, steepestInside);
}
