// What a body looks like never depends on what was drawn before it: every kind of object, in every mode,
// leaves the GL state as it found it, so a lit planet and a lit rock drawn after any of them look exactly as
// when drawn first. And a lit sphere shows its bright side towards its light from wherever it is seen.
#include "app/gl_setup.h"
#include "data/texture_registry.h"
#include "gl/draw_state.h"
#include "math/random.h"
#include "objects/camera.h"
#include "objects/object_script_reader.h"
#include "objects/shared_meshes.h"
#include "objects/show.h"
#include "objects/sphere.h"
#include "objects/wire_sphere.h"
#include "tests/app/headless/gl_test_context.h"
#include "tests/data/picture_files.h"
#include "tests/data/test_archive.h"
#include "tests/objects/script_objects.h"
#include "tools/meshgen/mesh_file_writer.h"
#include "tools/meshgen/ring_mesh.h"
#include "tools/meshgen/sphere_mesh.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// A 8 × 8 TGA whose alpha falls from the centre outwards, as the show's clouds and glows have.
std::vector<std::uint8_t> fadingTga() {
    TgaFile tga;
    tga.width = tga.height = 8;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tga.data.insert(tga.data.end(),
                            {200, 220, 240, static_cast<std::uint8_t>(255 - 30 * (x + y) / 2)});
    return tga.bytes();
}

using Pixels = std::vector<std::uint8_t>;

// The scene of these tests: the Sun's light at the origin, bodies lit from it, seen through the camera.
class DrawOrder : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        const MeshData sphere = uvSphereMesh(12, 24);
        archive = std::make_unique<TestArchive>(ArchiveMembers{
            {"meshes\\sphere.dat", meshFileBytes(sphere)},
            {"meshes\\env.dat", meshFileBytes(sphere)},
            {"meshes\\rock.dat", meshFileBytes(uvSphereMesh(6, 10))},
            {"texture.txt", text("grey.jpg\nglow.jpg\nclouds.tga\nEND_TEXT\n")},
            {"textures\\grey.jpg", solidJpeg(200, 200, 200)},
            {"textures\\glow.jpg", solidJpeg(255, 200, 120)},
            {"textures\\clouds.tga", fadingTga()},
        });
        show.files = ShowFiles(archive->path());
        ASSERT_TRUE(loadSharedMeshes(show));
        ASSERT_TRUE(loadWireSphereData(show));
        loadTextureList(show, "texture.txt");
        ASSERT_EQ(show.textures.size(), 3u);
    }
    void TearDown() override {
        show.worldTime = 0;
        show.wireSphere = {};
        show.textures.clear();
        archive.reset();
        GlTest::TearDown();
    }

    ObjectList read(const std::string& script) {
        archive.reset();
        archive = std::make_unique<TestArchive>(
            ArchiveMembers{{"meshes\\rock.dat", meshFileBytes(uvSphereMesh(6, 10))},
                           {"meshes\\ring.dat", meshFileBytes(ringMesh(1.25f, 2.3f, 32))},
                           {"meshes\\fine.dat", meshFileBytes(uvSphereMesh(24, 48))},
                           {"o.txt", text(script + "ENDWORLD\n")}});
        show.files = ShowFiles(archive->path());
        ObjectList list;
        EXPECT_TRUE(readObjectScript(show, list, "o.txt"));
        return list;
    }

    // A fresh frame: cleared buffers, the camera's view and the Sun's light placed in it.
    void beginFrame() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        camera.lookAt();
        const float sun[4] = {0, 0, 0, 1};
        glLightfv(GL_LIGHT1, GL_POSITION, sun);
    }

    // Mean brightness (red) of the pixels in a column range of the middle row.
    static int brightness(const Pixels& pixels, int fromX, int toX) {
        int sum = 0;
        for (int x = fromX; x < toX; ++x)
            sum += pixels[((surfaceHeight / 2) * surfaceWidth + x) * 4];
        return sum / (toX - fromX);
    }

    static Pixels framePixels() {
        Pixels pixels(surfaceWidth * surfaceHeight * 4);
        glReadPixels(0, 0, surfaceWidth, surfaceHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // Looks from `eye` at `target`.
    void look(Vec3 eye, Vec3 target) {
        camera.position = camera.eye = eye;
        camera.forward = normalize(target - eye);
        camera.up = {0, 1, 0};
    }

    std::unique_ptr<TestArchive> archive;
    Show show;
    Camera& camera = show.camera;
};

// A planet and a rock beside each other at x = 1000, seen from the side so each shows a lit and a dark half.
constexpr const char* bodies = "sphere\nbegin Planet\norbit\nposition V(1000 0 0)\nradius 200\n"
                               "texture textures\\grey.jpg\nend\n"
                               "geometry meshes\\rock.dat\n"
                               "mesh\nbegin Rock\nposition V(1000 250 0)\nscale 60\n"
                               "material\n\tplastic\n\tchrome\n\tmap1 textures\\grey.jpg\n\tmap2\nend\n";

// Every kind, and every mode of each that changes how it draws.
const char* const others[] = {
    "sphere\nbegin\nenv\nFOV 0.5\nradius 50\ntexture textures\\glow.jpg\nend\n",
    "sphere\nbegin\nspecular\norbit\nposition V(0 0 -3000)\nradius 100\ntexture textures\\grey.jpg\nend\n",
    "sphere\nbegin\nalpha 0.5\norbit\nposition V(0 0 -3000)\nradius 100\nend\n",
    "sphere\nbegin\nlight\ndepth\nradius 100\ntexture textures\\glow.jpg\nend\n",
    "sphere\nbegin\natmo\norbit\nposition V(0 0 -3000)\nradius 120\nalpha 0.8\nend\n",
    "sphere\nbegin\nflash\nrnd\nlight\norbit\nposition V(0 0 -3000)\nradius 130\ntexture "
    "textures\\clouds.tga\nend\n",
    "sphere\nbegin\nwire\norbit\nposition V(0 0 -3000)\nradius 100\ncolor V(0.3 0.8 1)\nend\n",
    "sphere\nbegin\nmask\norbit\nposition V(0 0 -3000)\nradius 100\nend\n",
    "sphere\nbegin Host\norbit\nposition V(0 0 -3000)\nradius 100\nend\n"
    "sphere\nbegin\nsys\nmoon\norbit\nparent Host\nposition V(300 0 0)\nradius 40\ncolor V(0.9 0.2 "
    "0.1)\nend\n",
    "sphere\nbegin\norbit\nposition V(0 0 -3000)\nradius 100\ntexture textures\\clouds.tga\nend\n",
    "sphere\nbegin Host\norbit\nposition V(0 0 -3000)\nradius 100\nend\ngeometry meshes\\ring.dat\n"
    "sphere\nbegin\norbit\nlist\nparent Host\nposition V(0 0 -3000)\norient V(0 0 1) 20\nradius 100\n"
    "texture textures\\clouds.tga\nend\n",
    "billboard\nbegin\nposition V(0 0 -3000)\nsize 100\ntexture textures\\glow.jpg\nend\n",
    "billboard\nbegin\nenv V(0 0 -20)\nFOV 0.5\nsize 5\nblend\ntexture textures\\clouds.tga\nend\n",
    "billboard\nbegin\noreol V(0 0 -3000) 100\nsize 160\ntexture textures\\glow.jpg\nend\n",
    "mesh\nbegin Ship\nposition V(0 0 -3000)\nend\n"
    "billboard\nbegin\nparent Ship V(0 50 0)\nsize 30\nflash 1 1 1\ncolor V(1 0.2 0.2)\ndepth\nend\n"
    "billboard\nbegin\nparent Ship V(0 50 0)\nsys\norient off\nup V(0 1 0)\nright V(1 0 0)\nsize 30\nend\n",
    "flare\nbegin\nposition V(0 0 -3000)\nsize 50\nalpha 1 fade: 0.1 0.1\ntexture textures\\glow.jpg\n"
    "lenseffect\n\tsize 8\n\ttexture textures\\glow.jpg\n\ttexture textures\\glow.jpg\n"
    "\ttexture textures\\glow.jpg\nend\n",
    "flare\nbegin\nenv V(0 0 -1)\nFOV 0.2\nlumin 0.5\nfocus 0.9\nalpha 1 fade: 0.1 0.1\n"
    "texture textures\\glow.jpg\nend\n",
    "mesh\nbegin\nposition V(0 0 -3000)\nscale 50\nmaterial\n\tmetal\n\tchrome\n\tmap1 "
    "textures\\grey.jpg\n\tmap2\n"
    "end\n",
    "mesh\nbegin\nposition V(0 0 -3000)\nscale 50\nblend\ncolor V(0.5 1 1)\nlight\nend\n",
    "mesh\nbegin\nposition V(0 0 -3000)\nscale 50\nillum\nlook V(0 1 0)\nright V(0 0 1)\nend\n",
    "flame\nbegin\nsize 100\nell 1.0\nangle 0.1\noffset 40\ntexture textures\\glow.jpg\n"
    "colorfrom V(1 0.7 0.2)\ncolorto V(0.9 0.1 0)\nend\n",
    "ps\nbegin\nline\ntexture textures\\glow.jpg\ndens 10\nend\n",
    "ps\nbegin\ncirc\nsize 300\ntexture textures\\glow.jpg\ndens 20\ntime 0.2\npoint1 V(0 0 -3000)\nend\n",
    "ps\nbegin\nflash\ntexture textures\\glow.jpg\ndens 8\npoint1 V(0 0 0)\npoint2 V(1 0 0)\n"
    "rot V(0 0 1)\nend\n",
};

TEST_F(DrawOrder, ABodyLooksTheSameAfterEveryOtherKindAsWhenDrawnFirst) {
    look({1000, 100, 1300}, {1000, 100, 0});
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        seedRandom(seed);
        show.worldTime = 7; // the wire build-up half done
        setupGL(surfaceWidth, surfaceHeight);
        const ObjectList alone = read(bodies);
        ASSERT_EQ(alone.size(), 2u);
        beginFrame();
        for (SceneObject* body : alone)
            body->draw(show);
        const Pixels first = framePixels();
        ASSERT_NE(first, Pixels(first.size(), 0)) << "the bodies are not in view";

        for (const char* other : others) {
            SCOPED_TRACE(std::string("seed ") + std::to_string(seed) + ", after:\n" + other);
            setupGL(surfaceWidth, surfaceHeight);
            const ObjectList before = read(other);
            ASSERT_FALSE(before.empty());
            // Long enough for a flash chain to be built and an eruption to happen.
            for (int step = 0; step < 150; ++step)
                for (SceneObject* object : before)
                    object->update(show, 0.05);
            beginFrame();
            for (SceneObject* object : before) {
                object->draw(show);
                EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{});
            }
            const ObjectList after = read(bodies);
            beginFrame();
            for (SceneObject* body : after)
                body->draw(show);
            EXPECT_EQ(framePixels(), first);
        }
    }
}

TEST_F(DrawOrder, ALitSphereShowsItsBrightSideToItsLight) {
    setupGL(surfaceWidth, surfaceHeight);
    const ObjectList planet = read("sphere\nbegin\norbit\nposition V(1000 0 0)\nradius 200\n"
                                   "texture textures\\grey.jpg\nend\n");
    const auto view = [&](Vec3 eye) {
        look(eye, {1000, 0, 0});
        beginFrame();
        planet[0]->draw(show);
        return framePixels();
    };
    // From the Sun's side the whole disc is lit; from behind it is dark against the black sky.
    const Pixels front = view({-400, 0, 0});
    EXPECT_GT(brightness(front, 28, 36), 120);
    const Pixels behind = view({2400, 0, 0});
    EXPECT_LT(brightness(behind, 28, 36), 20);
    // From the side, the half towards the Sun (on the left, looking down -z) is lit and the far half dark.
    const Pixels side = view({1000, 0, 1400});
    EXPECT_GT(brightness(side, 23, 27), 80);
    EXPECT_LT(brightness(side, 33, 39), 10);
}

// A body lighting itself, a star, is at full strength where it faces the viewer and dims towards its rim,
// however the Sun's light is placed.
TEST_F(DrawOrder, AStarDimsTowardsItsRim) {
    setupGL(surfaceWidth, surfaceHeight);
    const ObjectList star = read("sphere\nbegin\norbit\nlight\nposition V(1000 0 0)\nradius 200\n"
                                 "texture textures\\glow.jpg\nend\n");
    look({1000, 0, 900}, {1000, 0, 0}); // the disc spans columns 17 to 46
    beginFrame();
    star[0]->draw(show);
    const Pixels face = framePixels();
    const int centre = brightness(face, 30, 34);
    EXPECT_GT(centre, 230);
    EXPECT_LT(brightness(face, 17, 19), centre * 7 / 10);
    EXPECT_LT(brightness(face, 45, 47), centre * 7 / 10);
    EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{});
}

// Lightning, a self-lit flash, shows on the night side only, and fades out across the terminator instead of
// ending at a line.
TEST_F(DrawOrder, LightningShowsOnTheNightSideOnlyFadingAcrossTheTerminator) {
    setupGL(surfaceWidth, surfaceHeight);
    seedRandom(4);
    // A finer sphere than the others here (7.5 degrees a slice), so the fade is not just one facet's.
    const ObjectList storm = read("geometry meshes\\fine.dat\nsphere\nbegin\norbit\nlist\nlight\nflash\nrnd\n"
                                  "position V(1000 0 0)\nradius 200\ntexture textures\\grey.jpg\nend\n");
    auto* lightning = static_cast<Sphere*>(storm[0]);
    lightning->flash.shining = true;
    // From the side, the Sun on the left (looking down -z): the disc spans columns 6 to 58, the terminator
    // runs down column 32.
    look({1000, 0, 500}, {1000, 0, 0});
    beginFrame();
    lightning->draw(show);
    const Pixels side = framePixels();
    const int day = brightness(side, 8, 20);
    const int night = brightness(side, 44, 56);
    EXPECT_EQ(day, 0);
    EXPECT_GT(night, 60);
    // Across the terminator the glow steps down through values between the two over a good part of the disc
    // (some 15 degrees either side of it), not within the facet or two that a sharp cut is smoothed over.
    int between = 0;
    for (int x = 20; x < 44; ++x) {
        const int value = brightness(side, x, x + 1);
        between += value > night / 6 && value < night * 5 / 6;
    }
    EXPECT_GE(between, 12);
}

// A planet's rings lie in its shadow: the part of them behind the planet, seen from the Sun, is dark, and the
// part towards the Sun lit, and so is the part beside the shadow. The rings are tilted 30 degrees to the
// sunlight and seen face-on from their lit side, the shadow's side on the left of the screen.
TEST_F(DrawOrder, APlanetShadowsTheFarSideOfItsRings) {
    setupGL(surfaceWidth, surfaceHeight);
    const ObjectList saturn = read("sphere\nbegin Planet\norbit\nposition V(1000 0 0)\nradius 100\n"
                                   "texture textures\\grey.jpg\nend\n"
                                   "geometry meshes\\ring.dat\n"
                                   "sphere\nbegin\norbit\nlist\nparent Planet\nposition V(1000 0 0)\n"
                                   "orient V(0 0 1) 30\nrotation V(0 1 0) 0 0\nradius 100\n"
                                   "texture textures\\grey.jpg\nend\n");
    ASSERT_EQ(saturn.size(), 2u);
    const Vec3 ringNormal{-0.5f, 0.8660254f, 0};
    camera.position = camera.eye = Vec3{1000, 0, 0} + ringNormal * 1200;
    camera.forward = -ringNormal;
    camera.up = {0, 0, 1};
    beginFrame();
    for (SceneObject* object : saturn)
        object->draw(show);
    const Pixels rings = framePixels();
    const int sunward = brightness(rings, 39, 44);
    const int behind = brightness(rings, 22, 25);
    const int besideTheShadow =
        brightness(rings, 20, 22); // the outer edge, farther out than the planet is wide
    EXPECT_GT(sunward, 60);
    EXPECT_LT(behind, sunward / 4);
    EXPECT_GT(besideTheShadow, sunward / 2);
}

// The show draws its opaque bodies first and then the Sun, which writes no depth of its own. Whatever kind
// an opaque body is, and wherever a building sphere is in its build-up, standing between the viewer and the
// Sun it hides the Sun's centre: the pixel there is the body's own, as when the Sun is not drawn at all. And
// it is hidden in turn by a planet drawn before it that stands in front of it.
TEST_F(DrawOrder, AnOpaqueBodyOfEveryKindHidesTheSunBehindItAndAPlanetInFrontHidesIt) {
    const std::string sun = "sphere\nbegin\nlight\ndepth\norbit\nposition V(0 0 -3000)\nradius 400\n"
                            "texture textures\\glow.jpg\nend\n";
    const std::string rock = "geometry meshes\\rock.dat\nmesh\nbegin\nposition V(0 0 -1500)\nscale 150\n";
    const std::string grey = "material\n\tplastic\n\tchrome\n\tmap1 textures\\grey.jpg\n\tmap2\n";
    const std::string metal = "material\n\tmetal\n\tchrome\n\tmap1 textures\\grey.jpg\n\tmap2\n";
    const std::string ball = "sphere\nbegin\norbit\nposition V(0 0 -1500)\nradius 150\n";
    const std::string probe = ball + "wire\nrotation V(0.3 1 0) 0 12\ncolor V(0.3 0.8 1)\n"
                                     "texture textures\\grey.jpg\nend\n";
    struct Row {
        std::string occluder;
        double worldTime = 0;
    };
    const Row rows[] = {
        {ball + "texture textures\\grey.jpg\nend\n"},
        {ball + "specular\ntexture textures\\grey.jpg\nend\n"},
        {ball + "mask\nend\n"},
        {rock + grey + "end\n"},
        {rock + metal + "end\n"},
        {rock + grey + "illum\nend\n"},
        {rock + grey + "light\nend\n"},
        {probe, 0},
        {probe, 4},
        {probe, 6},
        {probe, 12},
        {probe, 15},
        {probe, 18},
        {probe, 22},
        {probe, 30},
    };
    look({0, 0, 0}, {0, 0, -1});
    setupGL(surfaceWidth, surfaceHeight);
    const auto centreOf = [&](const std::string& script) {
        const ObjectList objects = read(script);
        beginFrame();
        for (SceneObject* object : objects) {
            object->update(show, 0.1);
            object->draw(show);
        }
        return pixelAt(surfaceWidth / 2, surfaceHeight / 2);
    };
    const std::string planet = "sphere\nbegin\norbit\nposition V(0 0 -700)\nradius 100\n"
                               "texture textures\\glow.jpg\nend\n";
    const auto sunAlone = centreOf(sun);
    const auto planetAlone = centreOf(planet);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.occluder + "at world time " + std::to_string(row.worldTime));
        show.worldTime = row.worldTime;
        const auto occluderAlone = centreOf(row.occluder);
        EXPECT_NE(occluderAlone, sunAlone);
        EXPECT_EQ(centreOf(row.occluder + sun), occluderAlone);
        EXPECT_EQ(centreOf(planet + row.occluder), planetAlone);
    }
}

} // namespace
