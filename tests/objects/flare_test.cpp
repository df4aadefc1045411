#include "objects/flare.h"
#include "objects/show.h"

#include "app/gl_setup.h"
#include "app/headless/gl_context.h"
#include "base/viewport.h"
#include "data/texture_registry.h"
#include "gl/draw_state.h"
#include "math/random.h"
#include "objects/camera.h"
#include "objects/lens_effect.h"
#include "objects/object_script_reader.h"
#include "overlay/flat_drawing.h"
#include "tests/data/test_archive.h"
#include "tests/objects/script_objects.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

Flare& flareAt(const ObjectList& list, std::size_t index) {
    return *dynamic_cast<Flare*>(list.at(index));
}

// Scripts are read with the textures of the registry; each test starts from the defaults and leaves them so.
class FlareScript : public ::testing::Test {
protected:
    Show show;
    void SetUp() override {
        setViewport(800, 600);
        show.textures = {{7, "textures\\glow.jpg", {}},
                         {8, "textures\\ring.tga", {}},
                         {9, "textures\\ghost.jpg", {}},
                         {10, "textures\\streak.jpg", {}}};
    }
    void TearDown() override {
        setViewport(800, 600);
        show.textures.clear();
    }
};

} // namespace

// Sizes stay as the script gives them, whatever the picture's size at reading; rates become per second.
TEST_F(FlareScript, ReadsEveryKeywordScalingRatesToSeconds) {
    setViewport(1600, 1200);
    const ObjectList list = readScript(show, "mesh\nbegin Sun\nend\n"
                                             "flare\nbegin\nsize 20\nflash 0.5)\nlumin 2)\nfocus 0.25)\n"
                                             "parent Sun V(1 2 3)\nFOV 0.2\nalpha 0.5 fade: 0.1 0.05\n"
                                             "texture textures\\glow.jpg\nposition V(4 5 6)\n"
                                             "lenseffect\n\tsize 10\n \t texture textures\\ring.tga\n"
                                             "texture textures\\ghost.jpg\n\t\ttexture textures\\streak.jpg\n"
                                             "rotation 30 2\nxy 1.5\norient V(7 8 9)\nend\n"
                                             "ENDWORLD\n");
    ASSERT_EQ(list.size(), 2u);
    const Flare& flare = flareAt(list, 1);
    EXPECT_EQ(flare.spriteSize, 20);
    EXPECT_EQ(flare.flashAmount, 0.5f);
    EXPECT_EQ(flare.lumin, 2);
    EXPECT_TRUE(flare.hasFocus);
    EXPECT_EQ(flare.focusThreshold, 0.25f);
    EXPECT_EQ(flare.parent, list[0]);
    EXPECT_EQ(flare.offset.z, 3);
    EXPECT_EQ(flare.envFov, 0.2f);
    EXPECT_EQ(flare.opacity, 0.5f);
    EXPECT_FLOAT_EQ(flare.fadeInRate, 6.0f);
    EXPECT_FLOAT_EQ(flare.fadeOutRate, 3.0f);
    EXPECT_TRUE(flare.textured);
    EXPECT_EQ(flare.textureId, 7u); // the lens lines' texture names are the lens slots', not the sprite's
    EXPECT_EQ(flare.position.y, 5);
    EXPECT_TRUE(flare.hasLensEffect);
    EXPECT_EQ(flare.lensSize, 10);
    EXPECT_EQ(flare.lensTextures, (std::array<std::uint32_t, 3>{8, 9, 10}));
    EXPECT_TRUE(flare.tga); // from the TGA lens texture
    EXPECT_EQ(flare.spinAngle, 30);
    EXPECT_EQ(flare.spinRate, 120);
    EXPECT_EQ(flare.aspect, 1.5f);
    EXPECT_TRUE(flare.hasOrient);
    EXPECT_EQ(flare.orientVector.x, 7);
    EXPECT_FALSE(flare.isEnvironment);
}

TEST_F(FlareScript, KeepsDefaultsAndMissingTexturesLeaveTheirSlots) {
    const ObjectList list = readScript(show, "flare\nbegin\nenv V(0 0 -1)\ntexture textures\\none.jpg\n"
                                             "lenseffect\nsize 4\ntexture textures\\ghost.jpg\n"
                                             "texture textures\\none.tga\ntexture textures\\none.jpg\nend\n"
                                             "ENDWORLD\n");
    ASSERT_EQ(list.size(), 1u);
    const Flare& flare = flareAt(list, 0);
    EXPECT_EQ(flare.spriteSize, 10);
    EXPECT_EQ(flare.fadeInRate, 6);
    EXPECT_EQ(flare.spinRate, 24);
    EXPECT_EQ(flare.opacity, 0);
    EXPECT_TRUE(flare.isEnvironment);
    EXPECT_EQ(flare.offset.z, -1);
    EXPECT_TRUE(flare.textured);
    EXPECT_EQ(flare.textureId, 0u);
    EXPECT_EQ(flare.lensSize, 4); // the lens lines need no indent
    EXPECT_EQ(flare.lensTextures, (std::array<std::uint32_t, 3>{9, 0, 0}));
    EXPECT_TRUE(flare.tga);
}

TEST_F(FlareScript, AShortLensSectionEndsAtEndAndKeepsTheNextObject) {
    const ObjectList list = readScript(show, "flare\nbegin\nlenseffect\n\tsize 8\nend\n"
                                             "flare\nbegin\nsize 3\nend\nENDWORLD\n");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_TRUE(flareAt(list, 0).hasLensEffect);
    EXPECT_EQ(flareAt(list, 0).lensSize, 8);
    EXPECT_EQ(flareAt(list, 1).spriteSize, 3);

    // A block the data ends in is dropped rather than shown half read.
    EXPECT_TRUE(readScript(show, "flare\nbegin\nlenseffect\n\tsize 8\n").empty());
}

TEST(FlareUpdate, FadesByVisibilityWithTheFlickerOnTop) {
    Show show;
    Flare shown;
    shown.visible = true;
    shown.update(show, 0.1); // fade in 6/s, then the flicker brightens 0.7/s
    EXPECT_FLOAT_EQ(shown.opacity, 0.6f + 0.07f);
    for (int i = 0; i < 10; ++i)
        shown.update(show, 0.1);
    EXPECT_FLOAT_EQ(shown.opacity, 1.07f); // settles at 1 + 0.7·dt

    Flare hidden;
    hidden.opacity = 1;
    hidden.fadeOutRate = 3;
    hidden.update(show, 0.1);
    EXPECT_FLOAT_EQ(hidden.opacity, 1 - 0.3f + 0.07f);
    for (int i = 0; i < 10; ++i)
        hidden.update(show, 0.1);
    EXPECT_EQ(hidden.opacity, 0); // and the flicker does not bring it back
}

TEST(FlareUpdate, SpinStaysWithinAFullTurnBothWays) {
    Show show;
    Flare forwards;
    forwards.spinAngle = 350;
    forwards.update(show, 1); // 24 degrees per second
    EXPECT_FLOAT_EQ(forwards.spinAngle, 14);

    Flare backwards;
    backwards.spinAngle = 10;
    backwards.spinRate = -60;
    backwards.update(show, 1);
    EXPECT_FLOAT_EQ(backwards.spinAngle, 310);
}

TEST(FlareUpdate, FlickerCyclesDimForTheFirstDrawAndBrightenForTheSecond) {
    Show show;
    seedRandom(42);
    const float dim = randomFraction() * 2;
    const float brighten = randomFraction() * 2;
    seedRandom(42);

    Flare flare;
    flare.flashAmount = 2;
    flare.visible = true;
    flare.opacity = 1;
    flare.update(show, 0.01); // the first cycle ends at once and the next is drawn
    EXPECT_FLOAT_EQ(flare.flickerDimEnd, 6 * dim);
    EXPECT_FLOAT_EQ(flare.flickerCycleEnd, 6 * (dim + brighten));
    EXPECT_EQ(flare.flickerTimer, 0);

    flare.update(show, dim / 2); // dimming: the fade clamps to 1, the flicker takes 0.7/s off
    EXPECT_FLOAT_EQ(flare.opacity, 1 - 0.7f * dim / 2);
}

namespace {

// A flare drawn in a 320 × 240 window. Both matrices are the identity, so a point's x and y are its place in
// the window from -1 to 1 and its depth is (z + 1) / 2; the viewer stands at z = 1 looking down -z. Sizes
// are in pixels of a 600-pixel-high picture: 2.5 of them make one pixel here.
class FlareDrawing : public ::testing::Test {
protected:
    static constexpr int width = 320;
    static constexpr int height = 240;

    void SetUp() override {
        context = HeadlessGlContext::create(width, height);
        ASSERT_NE(context, nullptr);
        setupGL(width, height);
        setViewport(width, height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        viewer.position = viewer.eye = {0, 0, 1};
        viewer.forward = {0, 0, -1};
        white = makeTexture(255);
        black = makeTexture(0);
    }
    void TearDown() override { setViewport(800, 600); }

    static GLuint makeTexture(std::uint8_t level) {
        const std::uint8_t pixels[4 * 4] = {level, level, level, 255, level, level, level, 255,
                                            level, level, level, 255, level, level, level, 255};
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        return name;
    }

    // The point that the identity matrices put at window pixel (x, y) and depth buffer value `depth`.
    static Vec3 atPixel(float x, float y, float depth) {
        return {2 * x / width - 1, 2 * y / height - 1, 2 * depth - 1};
    }

    // Fills the depth buffer with `depth` over the pixels from (x0, y0) to (x1, y1), leaving colours alone.
    static void occlude(float x0, float y0, float x1, float y1, float depth) {
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glDisable(GL_TEXTURE_2D);
        const Vec3 a = atPixel(x0, y0, depth);
        const Vec3 b = atPixel(x1, y1, depth);
        glBegin(GL_QUADS);
        glVertex3f(a.x, a.y, a.z);
        glVertex3f(b.x, a.y, a.z);
        glVertex3f(b.x, b.y, a.z);
        glVertex3f(a.x, b.y, a.z);
        glEnd();
        glEnable(GL_TEXTURE_2D);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    }

    static std::array<std::uint8_t, 4> pixelAt(int x, int y) {
        std::array<std::uint8_t, 4> pixel{};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
        return pixel;
    }
    static bool lit(int x, int y) {
        const auto p = pixelAt(x, y);
        return p[0] > 10 || p[1] > 10 || p[2] > 10;
    }

    bool visibleAt(Vec3 position) {
        Flare flare;
        flare.position = position;
        flare.draw(show);
        return flare.visible;
    }

    std::unique_ptr<HeadlessGlContext> context;
    Show show;
    Camera& viewer = show.camera;
    GLuint white = 0;
    GLuint black = 0;
};

} // namespace

TEST_F(FlareDrawing, IsSeenOnlyWhereNothingNearerWasDrawn) {
    EXPECT_TRUE(visibleAt(atPixel(100, 80, 0.5f)));
    occlude(90, 70, 110, 90, 0.7f); // behind the flare
    EXPECT_TRUE(visibleAt(atPixel(100, 80, 0.5f)));
    occlude(90, 70, 110, 90, 0.3f); // in front of it, as a planet drawn earlier
    EXPECT_FALSE(visibleAt(atPixel(100, 80, 0.5f)));
    EXPECT_TRUE(visibleAt(atPixel(200, 80, 0.5f)));

    // Behind the viewer, whatever the depth buffer holds where it projects.
    viewer.forward = {0, 0, 1};
    EXPECT_FALSE(visibleAt(atPixel(200, 80, 0.5f)));
}

TEST_F(FlareDrawing, APointProjectedOutsideTheWindowIsHidden) {
    // Half a pixel left of the window would truncate to column 0, which is clear.
    EXPECT_FALSE(visibleAt(atPixel(-0.5f, 80, 0.5f)));
    EXPECT_FALSE(visibleAt(atPixel(100, height + 0.25f, 0.5f)));
    EXPECT_FALSE(visibleAt(atPixel(-1e30f, 80, 0.5f)));
    EXPECT_TRUE(visibleAt(atPixel(0.25f, 80, 0.5f)));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FlareDrawing, AnEnvFlareShowsOnlyOverTheClearedFarValue) {
    viewer.eye = {}; // where the identity model-view looks from
    Flare flare;
    flare.isEnvironment = true;
    flare.offset = {0, 0, -1}; // straight ahead: the window's centre
    flare.draw(show);
    EXPECT_TRUE(flare.visible);
    occlude(150, 110, 170, 130, 0.999f); // anything at all, however far
    flare.draw(show);
    EXPECT_FALSE(flare.visible);
    flare.offset = {0, 0, 1}; // behind the viewer
    glClear(GL_DEPTH_BUFFER_BIT);
    flare.draw(show);
    EXPECT_FALSE(flare.visible);
}

// A script's starting opacity glares in the first frame only where the anchor is in sight: not through a
// body drawn in front of it, nor from behind the viewer. Once looked for, hiding fades it as usual.
TEST_F(FlareDrawing, AStartingGlareShowsOnlyWhereItsAnchorIsSeen) {
    occlude(90, 70, 110, 90, 0.3f);
    const auto firstFrame = [&](Vec3 anchor, Vec3 forward) {
        glClear(GL_COLOR_BUFFER_BIT);
        viewer.forward = forward;
        Flare flare;
        flare.position = anchor;
        flare.opacity = 1;
        flare.spriteSize = 50;
        flare.textured = true;
        flare.textureId = white;
        flare.draw(show);
        return flare;
    };
    const Vec3 ahead{0, 0, -1};
    EXPECT_EQ(firstFrame(atPixel(100, 80, 0.5f), ahead).opacity, 0);
    EXPECT_FALSE(lit(100, 80));
    EXPECT_FALSE(lit(115, 80)) << "the sprite reaches past the body; none of it may show";
    EXPECT_EQ(firstFrame(atPixel(200, 80, 0.5f), -ahead).opacity, 0);
    EXPECT_FALSE(lit(200, 80));

    Flare seen = firstFrame(atPixel(200, 80, 0.5f), ahead);
    EXPECT_EQ(seen.opacity, 1);
    EXPECT_TRUE(lit(200, 80));
    seen.position = atPixel(100, 80, 0.5f); // now behind the body
    seen.draw(show);
    EXPECT_EQ(seen.opacity, 1) << "a flare already seen fades out, it does not vanish at once";
    seen.update(show, 0.05);
    EXPECT_GT(seen.opacity, 0);
    EXPECT_LT(seen.opacity, 1);
}

TEST_F(FlareDrawing, SpriteIsStretchedAndFadesWithFocus) {
    Flare flare;
    flare.position = atPixel(100, 80.5f, 0.5f);
    flare.opacity = 1;
    flare.textured = true;
    flare.textureId = white;
    flare.spinRate = 0;
    flare.spriteSize = 25; // 10 pixels
    flare.aspect = 2;
    flare.draw(show);
    EXPECT_EQ(pixelAt(115, 80), (std::array<std::uint8_t, 4>{255, 255, 255, 255}));
    EXPECT_FALSE(lit(125, 80));
    EXPECT_FALSE(lit(100, 95));

    // Focus with the view straight along the offset shows the sprite in full; turned away, not at all. A
    // threshold of 1 leaves no range to fade over and still gives one of the two.
    flare.hasFocus = true;
    for (float threshold : {0.5f, 1.0f}) {
        flare.focusThreshold = threshold;
        glClear(GL_COLOR_BUFFER_BIT);
        flare.offset = {0, 0, -3};
        flare.draw(show);
        EXPECT_EQ(pixelAt(100, 80)[0], 255) << threshold;
        glClear(GL_COLOR_BUFFER_BIT);
        flare.offset = {0, 1, 0};
        flare.draw(show);
        EXPECT_FALSE(lit(100, 80)) << threshold;
        glClear(GL_COLOR_BUFFER_BIT);
        flare.offset = {};
        flare.draw(show); // no direction to focus on: a finite answer, not a crash
        EXPECT_TRUE(drawStateDifferences().empty());
    }
}

TEST_F(FlareDrawing, LensGhostsLieOnTheLineThroughTheWindowCentre) {
    Flare flare;
    flare.position = atPixel(100, 80, 0.5f);
    flare.opacity = 1;
    flare.lumin = 0; // no sprite
    flare.hasLensEffect = true;
    flare.lensSize = 20; // 8 pixels here
    // Ghosts only: the streaks add black.
    flare.lensTextures = {white, white, black};
    flare.draw(show);

    const Vec3 pixel{100, 80, 0};
    const Vec3 toCentre = Vec3{width / 2.0f, height / 2.0f, 0} - pixel;
    for (const LensGhost& ghost : lensGhosts) {
        if (ghost.size < 0.5f)
            continue; // the small ones may sit a few pixels off the line beside their centre
        const Vec3 at = pixel + ghost.position * toCentre;
        EXPECT_TRUE(lit(static_cast<int>(at.x), static_cast<int>(at.y))) << ghost.position;
    }
    // Nothing strays from the line: look along two parallels 40 pixels to either side.
    const Vec3 side = 40 * normalize(cross(toCentre, Vec3{0, 0, 1}));
    for (float along = -0.6f; along <= 2.2f; along += 0.02f) {
        for (const Vec3 at : {pixel + along * toCentre + side, pixel + along * toCentre - side}) {
            if (at.x >= 0 && at.y >= 0 && at.x < width && at.y < height) {
                EXPECT_FALSE(lit(static_cast<int>(at.x), static_cast<int>(at.y))) << at.x << ", " << at.y;
            }
        }
    }
}

// A streak drawn over its picture's lit part only looks as the whole quad did: the part left out adds black.
// The picture's line has hard edges, so a box without room for linear filtering would lose light beside it.
TEST_F(FlareDrawing, StreaksDrawnOverTheirLitPartLookAsTheWholeQuads) {
    constexpr int size = 128;
    std::vector<std::uint8_t> line(size * size * 3, 0);
    for (int y = 10; y < size - 10; ++y)
        for (int x = 60; x < 68; ++x)
            for (int c = 0; c < 3; ++c)
                line[(y * size + x) * 3 + c] = static_cast<std::uint8_t>(255 - 40 * c);
    const GLuint streak = createMipmappedTexture(3, size, size, GL_RGB, line.data());
    const LitBox lit = litBoxOfRgb(line.data(), size, size);
    EXPECT_LT(lit.right - lit.left, 0.1f);

    const auto frame = [&](const LitBox& box, int x = 100, int y = 80) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Flare flare;
        flare.position = atPixel(x, y, 0.5f);
        flare.opacity = 1;
        flare.lumin = 0; // no sprite
        flare.hasLensEffect = true;
        flare.lensTextures = {black, black, streak};
        flare.streakLit = box;
        flare.draw(show);
        return context->readPixels();
    };
    const std::vector<std::uint8_t> whole = frame(LitBox{});
    const std::vector<std::uint8_t> cropped = frame(lit);
    // Colour only: the alpha channel is full everywhere.
    const auto litColours = [](const std::vector<std::uint8_t>& pixels) {
        int lit = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i)
            lit += i % 4 != 3 && pixels[i] > 50;
        return lit;
    };
    EXPECT_GT(litColours(whole), 1000);
    int worst = 0;
    for (std::size_t i = 0; i < whole.size(); ++i)
        worst = std::max(worst, std::abs(whole[i] - cropped[i]));
    EXPECT_LE(worst, 1);

    // By the centre the line to it has no steady direction, and the streaks would swing round with every
    // pixel the flare moves: they fade out there.
    const std::vector<std::uint8_t> centred = frame(lit, width / 2 + 6, height / 2);
    EXPECT_EQ(litColours(centred), 0);
}

TEST_F(FlareDrawing, EveryKindOfFlareLeavesTheDrawStateAsItFoundIt) {
    setProjection(width, height);
    viewer.position = viewer.eye = {};
    const std::string_view scripts[] = {
        "flare\nbegin\nposition V(0 0 -1000)\nend\n",
        "flare\nbegin\nposition V(0 0 -1000)\nalpha 1 fade: 0.1 0.1\ntexture textures\\glow.jpg\nend\n",
        "flare\nbegin\nposition V(0 0 1000)\nalpha 1 fade: 0.1 0.1\nend\n",
        "flare\nbegin\nenv V(0 0 -1)\nFOV 0.2\nalpha 1 fade: 0.1 0.1\nfocus 0.9)\nend\n",
        "flare\nbegin\nalpha 1 fade: 0.1 0.1\nposition V(100 50 -1000)\norient V(1 0 0)\nxy 2\n"
        "lenseffect\n\tsize 20\n\ttexture textures\\glow.jpg\n\ttexture textures\\glow.jpg\n"
        "\ttexture textures\\glow.jpg\nend\n",
        "mesh\nbegin Ship\nposition V(0 0 -2000)\nend\n"
        "flare\nbegin\nparent Ship V(10 20 30)\nalpha 1 fade: 0.1 0.1\nlenseffect\n\tsize 5\nend\n",
    };
    show.textures = {{white, "textures\\glow.jpg", {}}};
    for (std::string_view script : scripts) {
        const ObjectList list = readScript(show, std::string(script) + "ENDWORLD\n");
        ASSERT_FALSE(list.empty()) << script;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        list.back()->draw(show);
        EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{}) << script;
    }
    show.textures.clear();
}
