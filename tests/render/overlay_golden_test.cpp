// The frame counter and the clock over a rendered show: `heliox --render` with --fps, --clock and a fixed
// --time, on a digit texture painted here as seven-segment glyphs so the golden frame can be read by eye.
#include "app/headless/png_image.h"
#include "tests/render/golden_frames.h"
#include "tests/render/test_show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

namespace fs = std::filesystem;

namespace {

constexpr int cell = 64; // the digit texture is 4 × 4 cells of 64 × 64 pixels

// The segments of each glyph, in the order a (top), b (upper right), c (lower right), d (bottom),
// e (lower left), f (upper left), g (middle): the digits, then "A" for the morning and "P" for the
// afternoon. The colon has no segments; it gets two dots.
constexpr std::string_view glyphSegments[] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                              "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg",
                                              "",       "abcefg", "abefg"};

// The digit texture, top row first: pale green glyphs on black.
std::vector<std::uint8_t> sevenSegmentDigitPicture() {
    std::vector<std::uint8_t> pixels(4 * cell * 4 * cell * 3, 0);
    auto fill = [&](int glyph, int x0, int y0, int x1, int y1) { // a rectangle inside the glyph's cell
        const int left = glyph % 4 * cell, top = glyph / 4 * cell;
        for (int y = top + y0; y < top + y1; ++y)
            for (int x = left + x0; x < left + x1; ++x) {
                std::uint8_t* pixel = &pixels[(y * 4 * cell + x) * 3];
                pixel[0] = 140;
                pixel[1] = 255;
                pixel[2] = 170;
            }
    };
    for (int glyph = 0; glyph < 13; ++glyph) {
        for (char segment : glyphSegments[glyph]) {
            switch (segment) {
            case 'a':
                fill(glyph, 14, 6, 50, 14);
                break;
            case 'b':
                fill(glyph, 42, 6, 50, 34);
                break;
            case 'c':
                fill(glyph, 42, 30, 50, 58);
                break;
            case 'd':
                fill(glyph, 14, 50, 50, 58);
                break;
            case 'e':
                fill(glyph, 14, 30, 22, 58);
                break;
            case 'f':
                fill(glyph, 14, 6, 22, 34);
                break;
            case 'g':
                fill(glyph, 14, 28, 50, 36);
                break;
            }
        }
    }
    fill(10, 28, 16, 36, 24); // the colon
    fill(10, 28, 40, 36, 48);
    return pixels;
}

// A show with nothing in its world, so the overlay stands alone on black.
TestShow emptyShowWithDigits() {
    TestShow show;
    show.addText("texture.txt", "c.jpg\nEND_TEXT\n");
    show.addJpeg("textures\\c.jpg", 4 * cell, 4 * cell, sevenSegmentDigitPicture());
    show.addText("env.txt", "env space\nend\nENV_END\n");
    show.addText("worlds.txt", "world world\nenv space\nobjects empty.txt\nsystem\nend\nWORLD_END\n");
    show.addText("empty.txt", "ENDWORLD\n");
    return show;
}

class OverlayGolden : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("heliox-overlay-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

TEST_F(OverlayGolden, FrameCounterCountsTheFixedStepsAndTheClockShowsTheGivenTime) {
    const fs::path archive = emptyShowWithDigits().save(folder);
    // Steps of 1/16 s: the counter's first window is over at the 17th frame, which shows 16 a second.
    RenderRun run = renderShow(archive, folder / "frames",
                               "--size 320x240 --frames 17 --dt 0.0625 --fps --clock --time 21:05:07");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.frames.size(), 17u);
    EXPECT_EQ(compareWithGolden(run.frames[16], "overlay_fps_clock"), "");
}

TEST_F(OverlayGolden, ARenderKeepsTheTwelveHourClockItIsAskedFor) {
    const fs::path archive = emptyShowWithDigits().save(folder);
    auto clockFrame = [&](const std::string& name, const std::string& arguments) {
        const fs::path frames = folder / name;
        RenderRun run = renderShow(archive, frames, "--size 320x240 --frames 1 --clock " + arguments);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        std::vector<std::uint8_t> pixels;
        int width = 0, height = 0;
        std::string error;
        EXPECT_TRUE(!run.frames.empty() && readPng(run.frames[0].string(), width, height, pixels, error))
            << error;
        return pixels;
    };
    const std::vector<std::uint8_t> twelve = clockFrame("twelve", "--time 21:05:07 --time-format 12");
    const std::vector<std::uint8_t> twentyFour =
        clockFrame("twenty-four", "--time 09:05:07 --time-format 24");
    ASSERT_EQ(twelve.size(), 320u * 240 * 4);
    ASSERT_EQ(twentyFour.size(), twelve.size());
    // The clock starts at 525 of the overlay's 800 units, 28 units a glyph: 09:05:07 fills eight glyphs
    // either way, and only the 12-hour clock draws a ninth, the afternoon marker, from 749 units on.
    const int markerStart = 749 * 320 / 800 + 3;
    int markerLit = 0;
    for (std::size_t i = 0; i < twelve.size(); i += 4) {
        const int x = static_cast<int>(i / 4 % 320);
        if (x < markerStart) {
            ASSERT_EQ(twelve[i + 1], twentyFour[i + 1]) << "the hours differ at " << x << ", " << i / 4 / 320;
        } else {
            ASSERT_EQ(twentyFour[i + 1], 0) << "the 24-hour clock has no marker";
            markerLit += twelve[i + 1] > 128;
        }
    }
    EXPECT_GT(markerLit, 20) << "no afternoon marker";
}

TEST_F(OverlayGolden, ARenderShowsNeitherUnlessAsked) {
    const fs::path archive = emptyShowWithDigits().save(folder);
    RenderRun run = renderShow(archive, folder / "frames", "--size 320x240 --frames 1");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.frames.size(), 1u);
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    std::string error;
    ASSERT_TRUE(readPng(run.frames[0].string(), width, height, pixels, error)) << error;
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        ASSERT_EQ(pixels[i] | pixels[i + 1] | pixels[i + 2], 0)
            << "a lit pixel at " << i / 4 % width << ", " << i / 4 / width;
}

} // namespace
