// Spheres as the show draws them, through `heliox --render` at a fixed seed: a self-lit Sun at the centre, a
// lit, textured planet under a translucent TGA cloud layer on one side, a second planet in a camera-facing
// atmosphere on the other, and a starry sky sphere around the viewer.
#include "tests/render/golden_frames.h"
#include "tests/render/test_show.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Pixels = std::vector<std::uint8_t>;

// Latitude bands of sea, land and ice, with a dark meridian stripe so the planet's turn shows.
Pixels planetSurface(int width, int height) {
    Pixels rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int band = y * 6 / height;
            std::uint8_t r = 30, g = 70, b = 200; // sea
            if (band == 0 || band == 5)
                r = g = b = 235; // ice
            else if ((band == 2 || band == 3) && (x / 8) % 3 == 0)
                r = 60, g = 170, b = 50; // land
            if (x < 3)
                r = g = b = 20;
            rgb.insert(rgb.end(), {r, g, b});
        }
    return rgb;
}

// White clouds in diagonal streaks; clear sky between them.
Pixels cloudLayer(int width, int height) {
    Pixels rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool cloud = ((x + 2 * y) / 6) % 3 == 0;
            rgba.insert(rgba.end(), {255, 255, 255, static_cast<std::uint8_t>(cloud ? 230 : 0)});
        }
    return rgba;
}

// Dark blue with stars scattered by a hash of the texel's place.
Pixels starField(int width, int height) {
    Pixels rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t place = static_cast<std::uint32_t>(x) * 2654435761u ^
                                        static_cast<std::uint32_t>(y) * 40503u * 2654435761u;
            const bool star = ((place * 2246822519u) >> 16) % 40 == 0;
            rgb.insert(rgb.end(),
                       {static_cast<std::uint8_t>(star ? 255 : 5), static_cast<std::uint8_t>(star ? 255 : 8),
                        static_cast<std::uint8_t>(star ? 255 : 40)});
        }
    return rgb;
}

TestShow sphereShow() {
    TestShow show;
    show.addText("texture.txt", "sun.jpg\nearth.jpg\nclouds.tga\nvenus.jpg\nglow.jpg\nstars.jpg\nEND_TEXT\n");
    show.addSolidJpeg("textures\\sun.jpg", 255, 200, 60);
    show.addJpeg("textures\\earth.jpg", 48, 24, planetSurface(48, 24));
    show.addTga("textures\\clouds.tga", 48, 24, cloudLayer(48, 24));
    show.addSolidJpeg("textures\\venus.jpg", 200, 150, 90);
    show.addSolidJpeg("textures\\glow.jpg", 120, 180, 255);
    show.addJpeg("textures\\stars.jpg", 128, 64, starField(128, 64));
    show.addMesh("meshes\\sphere.dat", uvSphereMesh(16, 24));
    show.addMesh("meshes\\env.dat", uvSphereMesh(8, 12));

    show.addText("env.txt", "env space\nfirstpass sky.txt\nend\nENV_END\n");
    show.addText("sky.txt",
                 "sphere\nbegin\nenv\nradius 50\ntiling 3\ntexture textures\\stars.jpg\nend\nENDWORLD\n");
    show.addText("worlds.txt", "world world\nenv space\nobjects solar.txt\nsystem\nend\nWORLD_END\n");
    show.addText("solar.txt", "sphere\nbegin Sun\nlight\nradius 6000\ntexture textures\\sun.jpg\nend\n"
                              "sphere\nbegin Earth\norbit\nposition V(24000 0 0)\nradius 9000\n"
                              "texture textures\\earth.jpg\nend\n"
                              "sphere\nbegin Clouds\norbit\nposition V(24000 0 0)\nradius 9500\n"
                              "texture textures\\clouds.tga\nend\n"
                              "sphere\nbegin Venus\norbit\nposition V(-24000 0 0)\nradius 9000\n"
                              "texture textures\\venus.jpg\nend\n"
                              "sphere\nbegin Air\norbit\natmo\nposition V(-24000 0 0)\nradius 11000\n"
                              "texture textures\\glow.jpg\nend\n"
                              "ENDWORLD\n");
    return show;
}

class SphereGolden : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / "heliox-sphere-golden";
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
};

TEST_F(SphereGolden, PlanetsCloudsAtmosphereAndSky) {
    const fs::path archive = sphereShow().save(folder);
    // Quarter-second steps at full camera speed bring the camera from its first key, 90000 units out, to
    // about two thirds of that, where the planets fill a good part of the frame.
    RenderRun run =
        renderShow(archive, folder / "frames", "--frames 12 --dt 0.25 --speed 100 --size 320x240 --seed 4");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.frames.size(), 12u);
    EXPECT_EQ(compareWithGolden(run.frames.back(), "spheres_planets_clouds_atmosphere_sky"), "");
}

} // namespace
