// A flame ring and the three particle modes, each in a show of its own with the effect at the origin, where
// the camera always looks. The camera keeps 40000 to 90000 units away, so the effects are made large, and the
// renders run long enough for the systems to have launched, erupted or built their chain.
#include "app/headless/png_image.h"
#include "tests/render/golden_frames.h"
#include "tests/render/test_show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace fs = std::filesystem;

namespace {

constexpr int width = 320;
constexpr int height = 240;

// A 32 × 32 TGA of a soft round spot in one colour, brightest at the middle.
std::vector<std::uint8_t> spot(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    constexpr int size = 32;
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float distance = std::hypot((x + 0.5f) / size - 0.5f, (y + 0.5f) / size - 0.5f);
            const float v = std::clamp(1 - 2 * distance, 0.0f, 1.0f);
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(red * v), static_cast<std::uint8_t>(green * v),
                                     static_cast<std::uint8_t>(blue * v), 255});
        }
    return rgba;
}

// A show whose one world holds `objects`, with the spot picture as "textures\spot.tga".
TestShow effectShow(std::string_view objects, std::vector<std::uint8_t> spotPicture) {
    TestShow show;
    show.addText("texture.txt", "spot.tga\nEND_TEXT\n");
    show.addTga("textures\\spot.tga", 32, 32, spotPicture);
    show.addText("env.txt", "env space\nend\nENV_END\n");
    show.addText("worlds.txt", "world world\nenv space\nobjects effect.txt\nsystem\nend\nWORLD_END\n");
    show.addText("effect.txt", std::string(objects) + "ENDWORLD\n");
    return show;
}

class FlameParticlesGolden : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("heliox-flame-particles-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    // Renders the show and compares its last frame with the golden frame `name`; returns that frame's pixels.
    std::vector<std::uint8_t> renderAndCompare(const TestShow& show, const std::string& arguments,
                                               const std::string& name) {
        RenderRun run =
            renderShow(show.save(folder), folder / "frames",
                       "--size " + std::to_string(width) + "x" + std::to_string(height) + " " + arguments);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        if (run.frames.empty())
            return {};
        EXPECT_EQ(compareWithGolden(run.frames.back(), name), "");
        int w = 0, h = 0;
        std::vector<std::uint8_t> pixels;
        std::string error;
        EXPECT_TRUE(readPng(run.frames.back().string(), w, h, pixels, error)) << error;
        return pixels;
    }

    fs::path folder;
};

int countPixels(const std::vector<std::uint8_t>& pixels,
                const std::function<bool(int r, int g, int b)>& matches) {
    int count = 0;
    for (std::size_t i = 0; i + 3 < pixels.size(); i += 4)
        count += matches(pixels[i], pixels[i + 1], pixels[i + 2]);
    return count;
}

bool lit(int r, int g, int b) {
    return r + g + b > 60;
}

} // namespace

// A tilted, stretched ring: glowing orange along its line, fading out to red on every side.
TEST_F(FlameParticlesGolden, FlameRing) {
    const auto pixels =
        renderAndCompare(effectShow("flame\nbegin\n  size 16000\n  ell 1.4\n  angle 0.3\n  offset 3000\n"
                                    "  colorfrom V(1 0.6 0.1)\n  colorto V(0.8 0 0.2)\nend\n",
                                    spot(255, 255, 255)),
                         "--frames 3 --dt 0.1 --seed 4", "flame_ring");
    EXPECT_GT(countPixels(pixels,
                          [](int r, int g, int b) {
                              return r >= 243 && std::abs(g - 153) <= 20 && std::abs(b - 26) <= 20;
                          }),
              100)
        << "the glow takes the line's own colour along the line";
}

// Cyan sparks streaming away from the origin along -z and bending sideways as they fade.
TEST_F(FlameParticlesGolden, LineStream) {
    const auto pixels = renderAndCompare(
        effectShow("ps\nbegin\n  line\n  texture textures\\spot.tga\n  dens 150\nend\n", spot(60, 220, 255)),
        "--frames 20 --dt 0.1 --speed 100 --seed 4", "particles_line");
    EXPECT_GT(countPixels(pixels, lit), 200);
}

// An eruption from a point on a sphere of radius 6000: the glow flat on the sphere and the spray of sparks.
TEST_F(FlameParticlesGolden, CircEruption) {
    const auto pixels = renderAndCompare(
        effectShow("ps\nbegin\n  circ\n  size 6000\n  texture textures\\spot.tga\n  dens 300\n"
                   "  point1 V(0 0 0)\nend\n",
                   spot(255, 140, 40)),
        "--frames 50 --dt 0.1 --speed 100 --seed 6", "particles_circ");
    EXPECT_GT(countPixels(pixels, lit), 100);
}

// A chain of 40 sprites, built at its 81st step and shown 60 steps later, when the bright spot is halfway,
// 16100 units out from the origin, with its glow.
TEST_F(FlameParticlesGolden, FlashChain) {
    const auto pixels = renderAndCompare(
        effectShow("ps\nbegin\n  flash\n  texture textures\\spot.tga\n  dens 40\n  point1 V(0 0 0)\nend\n",
                   spot(180, 200, 255)),
        "--frames 141 --dt 0.06 --speed 100 --seed 14", "particles_flash");
    EXPECT_GT(countPixels(pixels, lit), 50);
}
