// Golden frames of billboards and meshes in whole shows rendered by `heliox --render` at a fixed seed. The
// camera circles the origin 20000 to 90000 units out looking at it, so the test objects stand near the
// origin and are thousands of units across.
#include "tests/render/golden_frames.h"
#include "tests/render/test_show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace fs = std::filesystem;

namespace {

using PaintPixel = std::array<std::uint8_t, 3> (*)(float x, float y); // x, y in [-1, 1]

std::vector<std::uint8_t> paintedPixels(int size, PaintPixel paint) {
    std::vector<std::uint8_t> pixels;
    for (int row = 0; row < size; ++row)
        for (int column = 0; column < size; ++column) {
            const auto rgb = paint(2.0f * (static_cast<float>(column) + 0.5f) / static_cast<float>(size) - 1,
                                   2.0f * (static_cast<float>(row) + 0.5f) / static_cast<float>(size) - 1);
            pixels.insert(pixels.end(), rgb.begin(), rgb.end());
        }
    return pixels;
}

std::uint8_t channel(float value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0.0f, 1.0f) * 255);
}

// A bright ring, dark inside and out: what a halo around a planet's rim looks like.
std::array<std::uint8_t, 3> haloRing(float x, float y) {
    const float glow = 1 - std::abs(std::hypot(x, y) - 0.7f) * 5;
    return {channel(glow), channel(0.7f * glow), channel(0.3f * glow)};
}

// A round light fading to black at its edge.
std::array<std::uint8_t, 3> roundLight(float x, float y) {
    const float glow = 1 - std::hypot(x, y);
    return {channel(1.5f * glow), channel(0.4f * glow), channel(0.3f * glow)};
}

std::array<std::uint8_t, 3> checker(float x, float y) {
    const bool light = (static_cast<int>(std::floor(x * 4)) + static_cast<int>(std::floor(y * 4))) % 2 == 0;
    return light ? std::array<std::uint8_t, 3>{200, 200, 210} : std::array<std::uint8_t, 3>{60, 70, 110};
}

class BillboardMeshGolden : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() /
            ("heliox-golden-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    // A show whose one world, `system` or lit from far out on +z, holds the objects of `objects`.
    static TestShow showOf(std::string_view objects, bool system) {
        TestShow show;
        show.addText("texture.txt", "halo.jpg\nlight.jpg\nchecker.jpg\norange.jpg\ngreen.jpg\nEND_TEXT\n");
        show.addJpeg("textures\\halo.jpg", 64, 64, paintedPixels(64, haloRing));
        show.addJpeg("textures\\light.jpg", 32, 32, paintedPixels(32, roundLight));
        show.addJpeg("textures\\checker.jpg", 64, 64, paintedPixels(64, checker));
        show.addSolidJpeg("textures\\orange.jpg", 230, 140, 40);
        show.addSolidJpeg("textures\\green.jpg", 60, 220, 90);
        show.addText("env.txt", "env space\nfirstpass sky.txt\nend\nENV_END\n");
        show.addText("sky.txt", "ENDWORLD\n");
        show.addText("worlds.txt", std::string("world world\nenv space\nobjects solar.txt\n") +
                                       (system ? "system\n" : "") + "end\nWORLD_END\n");
        show.addText("solar.txt", objects);
        show.addMesh("meshes\\ball.dat", uvSphereMesh(16, 24));
        return show;
    }

    RenderRun render(const TestShow& show, const std::string& arguments) {
        RenderRun run = renderShow(show.save(folder), folder / "frames", arguments);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        return run;
    }

    fs::path folder;
};

TEST_F(BillboardMeshGolden, HaloOnASpheresRimAndALightBlinkingDarkThenLit) {
    // The halo rings a sphere of radius 12000 at the origin; the blinking light stands beside it, dark for
    // its first second and lit for the next.
    const TestShow show = showOf("billboard\nbegin\ntexture textures\\halo.jpg\nrotation 0 0\n"
                                 "oreol V(0 0 0) 12000\nsize 4000\nend\n"
                                 "billboard\nbegin\ntexture textures\\light.jpg\nrotation 0 0\n"
                                 "position V(0 24000 0)\nsize 7000\nflash 0 1 1\nend\n"
                                 "ENDWORLD\n",
                                 true);
    const RenderRun run = render(show, "--size 320x240 --frames 3 --dt 0.5 --seed 11");
    ASSERT_EQ(run.frames.size(), 3u);
    EXPECT_EQ(compareWithGolden(run.frames[0], "billboard_halo_blink_dark"), "");
    EXPECT_EQ(compareWithGolden(run.frames[2], "billboard_halo_blink_lit"), "");
}

TEST_F(BillboardMeshGolden, LitMetalAndBlendedMeshesUnderTheWorldsLight) {
    // A plain textured ball lit by the world's light (its camera, projection and lights at
    // work), a metal one with a highlight, and a half-transparent one that the metal ball shows through.
    const TestShow show = showOf("geometry meshes\\ball.dat\n"
                                 "mesh\nbegin Plain\nposition V(-20000 0 -8000)\nscale 9000\n"
                                 "material\n\tplastic\n\tchrome\n\tmap1 textures\\orange.jpg\n\tmap2\nend\n"
                                 "mesh\nbegin Metal\nposition V(0 0 0)\nscale 9000\n"
                                 "material\n\tmetal\n\tchrome\n\tmap1 textures\\checker.jpg\n\tmap2\nend\n"
                                 "mesh\nbegin Glass\nposition V(12000 0 5000)\nscale 9000\nblend\n"
                                 "color V(0.5 1 1)\n"
                                 "material\n\tplastic\n\tchrome\n\tmap1 textures\\green.jpg\n\tmap2\nend\n"
                                 "ENDWORLD\n",
                                 false);
    const RenderRun run = render(show, "--size 320x240 --frames 1 --seed 11");
    ASSERT_EQ(run.frames.size(), 1u);
    EXPECT_EQ(compareWithGolden(run.frames[0], "mesh_plain_metal_blended"), "");
}

} // namespace
