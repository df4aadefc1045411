// The Sun with two flares: one inside it, hidden by the Sun drawn before it, and one beside it with the lens
// effect. The flares' pictures are painted here so that each part of the effect can be told apart in the
// frame by colour: the sprite is green only, the streaks red only and the ghosts magenta; the ghosts of the
// first ten rows are tinted blue, which nothing else draws.
#include "app/headless/png_image.h"
#include "math/vec3.h"
#include "tests/render/golden_frames.h"
#include "tests/render/test_show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace fs = std::filesystem;

namespace {

constexpr int width = 320;
constexpr int height = 240;
constexpr int picture = 64; // the flare's pictures are 64 × 64 pixels

// A TGA picture, bottom row first, of `level(x, y)` (0 to 1, from the picture's centre) in one colour.
template <typename Level>
std::vector<std::uint8_t> paint(std::uint8_t red, std::uint8_t green, std::uint8_t blue, Level level) {
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < picture; ++y)
        for (int x = 0; x < picture; ++x) {
            const float v =
                std::clamp(level((x + 0.5f) / picture - 0.5f, (y + 0.5f) / picture - 0.5f), 0.0f, 1.0f);
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(red * v), static_cast<std::uint8_t>(green * v),
                                     static_cast<std::uint8_t>(blue * v), 255});
        }
    return rgba;
}

// The sun's glare: a green glow with a bright core; ghosts: soft magenta discs; streaks: a red line along the
// middle of the picture, fading towards both ends, which the lens effect lays along the line to the centre.
TestShow flareShow() {
    TestShow show;
    show.addText("texture.txt", "sun.jpg\nglow.tga\nghost.tga\nstreak.tga\nEND_TEXT\n");
    show.addSolidJpeg("textures\\sun.jpg", 255, 40, 0);
    show.addMesh("meshes\\sphere.dat", uvSphereMesh(16, 24));
    show.addTga("textures\\glow.tga", picture, picture,
                paint(0, 255, 0, [](float x, float y) { return 1.2f - 2.4f * std::hypot(x, y); }));
    show.addTga("textures\\ghost.tga", picture, picture,
                paint(255, 0, 255, [](float x, float y) { return 3.0f - 6.5f * std::hypot(x, y); }));
    show.addTga("textures\\streak.tga", picture, picture, paint(255, 0, 0, [](float x, float y) {
                    return (1 - 48 * std::abs(x)) * (1 - 2 * std::abs(y));
                }));
    show.addText("env.txt", "env space\nend\nENV_END\n");
    show.addText("worlds.txt", "world world\nenv space\nobjects solar.txt\nsystem\nend\nWORLD_END\n");
    show.addText("solar.txt", "sphere\nbegin Sun\nlight\nradius 6000\ntexture textures\\sun.jpg\nend\n"
                              "flare\nbegin\nposition V(0 0 0)\nsize 60\nalpha 1 fade: 0.1 0.1\n"
                              "texture textures\\glow.tga\nend\n"
                              "flare\nbegin\nposition V(25000 15000 0)\nsize 40\nalpha 1 fade: 0.1 0.1\n"
                              "rotation 0 0\ntexture textures\\glow.tga\n"
                              "lenseffect\n\tsize 16\n\ttexture textures\\ghost.tga\n"
                              "\ttexture textures\\ghost.tga\n\ttexture textures\\streak.tga\n"
                              "end\nENDWORLD\n");
    return show;
}

class FlareGolden : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() /
            ("heliox-flare-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

} // namespace

TEST_F(FlareGolden, GhostsLieOnTheLineFromTheFlareThroughTheCentre) {
    const fs::path archive = flareShow().save(folder);
    RenderRun run = renderShow(archive, folder / "frames", "--size 320x240 --frames 3 --dt 0.1 --seed 3");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.frames.size(), 3u);
    EXPECT_EQ(compareWithGolden(run.frames[2], "flare_lens_effect"), "");

    int w = 0, h = 0;
    std::vector<std::uint8_t> pixels;
    std::string error;
    ASSERT_TRUE(readPng(run.frames[2].string(), w, h, pixels, error)) << error;
    ASSERT_EQ(w, width);

    // The flare stands where the green glow is brightest.
    Vec3 flare;
    float weight = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (const float g = pixels[(y * width + x) * 4 + 1]; g > 128) {
                flare = flare + g * Vec3{x + 0.5f, y + 0.5f, 0};
                weight += g;
            }
    ASSERT_GT(weight, 0) << "no flare in the frame";
    flare = flare / weight;
    const Vec3 toCentre = Vec3{width / 2.0f, height / 2.0f, 0} - flare;
    ASSERT_GT(length(toCentre), 40) << "the flare stands too near the centre to show a line";

    // The flare inside the Sun has faded out: the centre shows the Sun alone.
    EXPECT_LT(pixels[(height / 2 * width + width / 2) * 4 + 1], 80);

    // Every blue ghost pixel lies within a ghost's reach of that line (a ghost's half-diagonal and its swing
    // off the line), and the ghosts run from the flare to past the centre.
    const Vec3 along = normalize(toCentre);
    float nearest = 1e9f, farthest = -1e9f;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (pixels[(y * width + x) * 4 + 2] < 4)
                continue;
            const Vec3 offset = Vec3{x + 0.5f, y + 0.5f, 0} - flare;
            const float distance = std::abs(cross(offset, along).z);
            EXPECT_LT(distance, 24) << "a ghost pixel off the line at " << x << ", " << y;
            const float share = dot(offset, along) / length(toCentre);
            nearest = std::min(nearest, share);
            farthest = std::max(farthest, share);
        }
    EXPECT_LT(nearest, 0.3f);
    EXPECT_GT(farthest, 1.5f);
}
