// The overlay drawn into an 800 × 600 surface, where one overlay unit is one pixel, so glyphs and pictures
// can be found at their exact places.
#include "app/gl_setup.h"
#include "app/headless/gl_context.h"
#include "base/viewport.h"
#include "data/texture_registry.h"
#include "gl/draw_state.h"
#include "overlay/flat_drawing.h"
#include "overlay/frame_overlay.h"
#include "overlay/glyphs.h"
#include "overlay/loading_screen.h"
#include "tests/data/picture_files.h"
#include "tests/data/test_archive.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int width = 800;
constexpr int height = 600;

// Each glyph's cell of the digit texture filled with its own colour: red 10 + 20 × glyph, green the rest
// of 255, so the glyph drawn at a place can be read back from one pixel.
std::array<std::uint8_t, 3> glyphColour(int glyph) {
    const auto red = static_cast<std::uint8_t>(10 + 20 * glyph);
    return {red, static_cast<std::uint8_t>(255 - red), 128};
}

class OverlayDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        context = HeadlessGlContext::create(width, height);
        ASSERT_NE(context, nullptr) << "no off-screen OpenGL context: are Mesa's EGL and llvmpipe installed?";
        setViewport(width, height);
        setupGL(width, height);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // A 4 × 4-texel digit texture, one texel per cell, sampled without filtering.
    void addCellColouredDigitTexture() {
        std::vector<std::uint8_t> texels(4 * 4 * 4, 255);
        for (int glyph = 0; glyph < 16; ++glyph) {
            const int column = glyph % 4;
            const int rowFromBottom = 3 - glyph / 4; // cells are counted from the top of the picture
            const auto colour = glyphColour(glyph);
            std::copy(colour.begin(), colour.end(), texels.begin() + (rowFromBottom * 4 + column) * 4);
        }
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        textures.push_back({texture, "textures\\c.jpg", {}});
    }

    static std::array<std::uint8_t, 4> pixelAt(int x, int y) {
        std::array<std::uint8_t, 4> pixel{};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
        return pixel;
    }

    // The glyphs of a string drawn at (x, y), read from the middle of each glyph's part that the next one
    // does not cover: '?' where the pixel is no glyph's colour, ' ' where it is black.
    static std::string glyphsAt(int x, int y, int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            const auto pixel = pixelAt(x + 28 * i + 14, y + 20);
            char read = pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0 ? ' ' : '?';
            for (int glyph = 0; glyph < glyphCount; ++glyph) {
                const auto colour = glyphColour(glyph);
                if (std::abs(pixel[0] - colour[0]) <= 2 && std::abs(pixel[1] - colour[1]) <= 2 &&
                    std::abs(pixel[2] - colour[2]) <= 2)
                    read = static_cast<char>(firstGlyphCharacter + glyph);
            }
            text += read;
        }
        return text;
    }

    std::unique_ptr<HeadlessGlContext> context;
    TextureRegistry textures;
    Glyphs glyphs;
};

TEST_F(OverlayDrawing, GlyphsComeFromTheirCellsAndStandTwentyEightUnitsApart) {
    addCellColouredDigitTexture();
    glyphs = buildGlyphs(textures);
    enterOverlay();
    drawDigits(glyphs, 100, 200, "0123456789:;<");
    leaveOverlay();
    EXPECT_EQ(glyphsAt(100, 200, 14), "0123456789:;< ");

    // The string's first and last glyphs are 40 units square, from (100, 200) to (476, 240).
    EXPECT_NE(pixelAt(100, 200)[0], 0);
    EXPECT_NE(pixelAt(100 + 28 * 12 + 39, 239)[0], 0);
    EXPECT_EQ(pixelAt(99, 220)[0], 0);
    EXPECT_EQ(pixelAt(100 + 28 * 12 + 40, 220)[0], 0);
    EXPECT_EQ(pixelAt(120, 199)[0], 0);
    EXPECT_EQ(pixelAt(120, 240)[0], 0);
}

TEST_F(OverlayDrawing, CharactersWithoutAGlyphCallNoOtherDisplayList) {
    addCellColouredDigitTexture();
    const GLuint before = glGenLists(1); // a list of someone else's, just before the glyphs
    glNewList(before, GL_COMPILE);
    glRecti(0, 0, 800, 600);
    glEndList();
    glyphs = buildGlyphs(textures);
    enterOverlay();
    drawDigits(glyphs, 100, 200, "/=1");
    leaveOverlay();
    EXPECT_EQ(pixelAt(700, 500)[0], 0) << "the list before the glyphs was called";
    EXPECT_EQ(glyphsAt(100, 200, 2), "1 ");
}

TEST_F(OverlayDrawing, FrameCounterAndClockStandInTheirCorners) {
    addCellColouredDigitTexture();
    glyphs = buildGlyphs(textures);
    Settings settings;
    settings.showFps = true;
    settings.showClock = true;

    drawOverlay(settings, glyphs, 0, {21, 5, 7});
    EXPECT_EQ(glyphsAt(4, 558, 2), "0 ");
    EXPECT_EQ(glyphsAt(525, 2, 8), "21:05:07");

    glClear(GL_COLOR_BUFFER_BIT);
    settings.timeFormat = true;
    drawOverlay(settings, glyphs, 1000, {21, 5, 7});
    EXPECT_EQ(glyphsAt(4, 558, 5), "1000 ");
    EXPECT_EQ(glyphsAt(525, 2, 9), "09:05:07<");

    glClear(GL_COLOR_BUFFER_BIT);
    settings.showFps = false;
    settings.showClock = false;
    drawOverlay(settings, glyphs, 60, {21, 5, 7});
    EXPECT_EQ(glyphsAt(4, 558, 2), "  ");
    EXPECT_EQ(glyphsAt(525, 2, 9), "         ");
}

TEST_F(OverlayDrawing, WithoutADigitTextureGlyphsAreUntexturedSquares) {
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    const std::uint8_t red[4] = {255, 0, 0, 255};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, red);
    glyphs = buildGlyphs(textures);
    Settings settings;
    settings.showFps = true;
    settings.showClock = false;
    drawOverlay(settings, glyphs, 7, {});
    const auto glyph = pixelAt(4 + 20, 558 + 20);
    EXPECT_EQ(glyph[0], 255);
    EXPECT_EQ(glyph[1], 255) << "drawn with the texture bound before";
    EXPECT_EQ(pixelAt(4 + 41, 578)[0], 0);
}

TEST_F(OverlayDrawing, LeavesTheStateEverySceneDrawExpects) {
    addCellColouredDigitTexture();
    glyphs = buildGlyphs(textures);
    for (const bool showFps : {false, true})
        for (const bool showClock : {false, true})
            for (const bool twelveHours : {false, true}) {
                Settings settings;
                settings.showFps = showFps;
                settings.showClock = showClock;
                settings.timeFormat = twelveHours;
                drawOverlay(settings, glyphs, 42, {12, 0, 0});
                EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{})
                    << "fps " << showFps << ", clock " << showClock << ", 12 hours " << twelveHours;
            }
}

TEST_F(OverlayDrawing, LoadingScreenShowsTheSignAboveTheLoadPicture) {
    auto solid = [](std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::vector<std::uint8_t> pixels;
        for (int i = 0; i < 8 * 8; ++i)
            pixels.insert(pixels.end(), {r, g, b});
        return rgbJpeg(8, 8, pixels);
    };
    TestArchive archive(
        {{"textures\\sign.jpg", solid(240, 160, 20)}, {"textures\\load.jpg", solid(20, 60, 230)}});
    ShowFiles files(archive.path());
    const LoadingScreen screen = loadLoadingScreen(files);

    redrawLoadingScreen(screen);
    EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{});
    auto near = [](std::array<std::uint8_t, 4> pixel, int r, int g, int b) {
        return std::abs(pixel[0] - r) <= 4 && std::abs(pixel[1] - g) <= 4 && std::abs(pixel[2] - b) <= 4;
    };
    // The sign: 220 units square around (400, 350); the load picture: 200 square around (400, 140).
    for (auto [x, y] : {std::pair{400, 350}, {291, 241}, {509, 459}})
        EXPECT_TRUE(near(pixelAt(x, y), 240, 160, 20)) << x << ", " << y;
    for (auto [x, y] : {std::pair{400, 140}, {301, 41}, {499, 239}})
        EXPECT_TRUE(near(pixelAt(x, y), 20, 60, 230)) << x << ", " << y;
    for (auto [x, y] : {std::pair{400, 461}, {289, 350}, {511, 350}, {299, 140}, {501, 140}, {400, 39}})
        EXPECT_TRUE(near(pixelAt(x, y), 0, 0, 0)) << x << ", " << y;
}

} // namespace
