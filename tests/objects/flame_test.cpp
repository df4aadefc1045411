#include "objects/flame.h"
#include "objects/show.h"

#include "app/gl_setup.h"
#include "gl/draw_state.h"
#include "objects/camera.h"
#include "objects/object_script_reader.h"
#include "tests/app/headless/gl_test_context.h"
#include "tests/data/test_archive.h"
#include "tests/math/expect_near.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

// Reads an object script holding flame blocks and returns the flames made.
std::vector<Flame*> readFlames(Show& show, std::string_view script) {
    TestArchive archive({{"flames.txt", std::vector<std::uint8_t>(script.begin(), script.end())}});
    show.files = ShowFiles(archive.path());
    ObjectList list;
    EXPECT_TRUE(readObjectScript(show, list, "flames.txt"));
    std::vector<Flame*> flames;
    for (SceneObject* object : list)
        flames.push_back(dynamic_cast<Flame*>(object));
    return flames;
}

} // namespace

TEST(Flame, ReadsItsBlockWithTheSizeCountedFromTwoThousand) {
    Show show;
    const auto flames =
        readFlames(show, "flame\nbegin\nend\n"
                         "flames\nbegin\n  size 50\n  angle 0.25\n  ell 1.5\n  offset 300\n"
                         "  orient V(1 2 3)\n  colorfrom V(1 0.5 0)\n  colorto V(0 1 0.5)\nend\n"
                         "ENDWORLD\n");
    ASSERT_EQ(flames.size(), 2u);
    ASSERT_NE(flames[0], nullptr);
    ASSERT_NE(flames[1], nullptr);

    const Flame& plain = *flames[0];
    EXPECT_FLOAT_EQ(plain.ringRadius, 0.8f);
    EXPECT_FLOAT_EQ(plain.xStretch, 1);
    EXPECT_FLOAT_EQ(plain.glowWidth, 0.2f);
    expectNear(plain.colorFrom, {1, 1, 0}, 0.01f);
    expectNear(plain.colorTo, {0, 0, 1}, 0.01f);

    const Flame& set = *flames[1];
    EXPECT_FLOAT_EQ(set.ringRadius, 2050);
    EXPECT_FLOAT_EQ(set.slope, 0.25f);
    EXPECT_FLOAT_EQ(set.xStretch, 1.5f);
    EXPECT_FLOAT_EQ(set.glowWidth, 300);
    expectNear(set.ringCentre, {1, 2, 3}, 0.01f);
    expectNear(set.colorFrom, {1, 0.5f, 0}, 0.01f);
    expectNear(set.colorTo, {0, 1, 0.5f}, 0.01f);
}

TEST(Flame, RingTiltsWithItsXCoordinate) {
    Flame flame;
    flame.ringCentre = {100, 10, -50};
    flame.ringRadius = 1000;
    flame.xStretch = 2;
    flame.slope = 0.5f;

    // A quarter turn per 50 samples; the slope lifts by the absolute x, centre included.
    expectNear(flame.ringPoint(0), {2100, 10 + 0.5f * 2100, -50}, 0.05f);
    expectNear(flame.ringPoint(50), {100, 10 + 0.5f * 100, 950}, 0.05f);
    expectNear(flame.ringPoint(100), {-1900, 10 - 0.5f * 1900, -50}, 0.05f);
    expectNear(flame.ringPoint(Flame::ringSegments), flame.ringPoint(0), 0.05f);
}

class FlameDrawing : public GlTest {
protected:
    // The flame drawn under a view from `eye` towards the ring's centre into a cleared picture.
    static void drawFlameSeenFrom(Flame& flame, Vec3 eye, Vec3 up) {
        setupGL(surfaceWidth, surfaceHeight);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Show show;
        Camera& viewer = show.camera;
        viewer.eye = viewer.position = eye;
        viewer.forward = normalize(flame.ringCentre - eye);
        viewer.up = up;
        glLoadIdentity();
        viewer.lookAt();
        flame.draw(show);
        glLoadIdentity();
    }
};

// Seen from above at 5000 units, a ring of radius 2000 crosses the middle row 25.6 pixels from the centre.
TEST_F(FlameDrawing, GlowPeaksAtTheRingWithoutWritingDepthAndRestoresTheState) {
    Flame flame;
    flame.ringRadius = 2000;
    flame.glowWidth = 600;
    flame.colorFrom = {1, 0.5f, 0};
    flame.colorTo = {0, 0, 1};
    flame.textured = true; // a texture line does not make it textured
    drawFlameSeenFrom(flame, {0, 5000, 0}, {0, 0, -1});
    EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{});

    int brightest = 0;
    for (int x = surfaceWidth / 2; x < surfaceWidth; ++x)
        if (pixelAt(x, surfaceHeight / 2)[0] > pixelAt(brightest, surfaceHeight / 2)[0])
            brightest = x;
    EXPECT_NEAR(brightest, 57, 1);
    const auto peak = pixelAt(brightest, surfaceHeight / 2);
    EXPECT_GT(peak[0], 200) << "the line's own colour at the line";
    EXPECT_NEAR(peak[1], peak[0] / 2, 10);
    EXPECT_LT(peak[2], 30);
    EXPECT_EQ(pixelAt(surfaceWidth / 2, surfaceHeight / 2), (std::array<std::uint8_t, 4>{0, 0, 0, 255}))
        << "the middle of the ring lies beyond the glow";

    float depth = 0;
    glReadPixels(brightest, surfaceHeight / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f) << "the flame must not hide what is drawn after it";
}

// Seen nearly edge-on the ring is a narrow ellipse; its glow must fade out past the ends as smoothly as it
// does above and below the line, not end in a cut straight across the picture.
TEST_F(FlameDrawing, SeenFromNearItsPlaneTheGlowFadesPastTheRingsEnds) {
    Flame flame;
    flame.ringRadius = 2000;
    flame.glowWidth = 800;
    flame.colorFrom = {1, 1, 1};
    flame.colorTo = {1, 1, 1};
    drawFlameSeenFrom(flame, {0, 200, 6000}, {0, 1, 0});

    int peak = 0;
    int steepest = 0;
    for (int y = 0; y < surfaceHeight; ++y) {
        for (int x = 0; x + 1 < surfaceWidth; ++x) {
            const int here = pixelAt(x, y)[0];
            peak = std::max(peak, here);
            steepest = std::max(steepest, std::abs(pixelAt(x + 1, y)[0] - here));
        }
    }
    EXPECT_GT(peak, 200);
    EXPECT_LT(steepest, peak / 3) << "a hard edge across the glow";
}

// The flame is light: it adds to what lies behind it and never paints over it, so no line of its own colour
// shows across a bright body behind the ring.
TEST_F(FlameDrawing, OnlyAddsLightToWhatIsBehindIt) {
    Flame flame;
    flame.ringRadius = 2000;
    flame.glowWidth = 300;
    flame.colorFrom = {1, 0.5f, 0};
    flame.colorTo = {0.5f, 0, 0};
    setupGL(surfaceWidth, surfaceHeight);
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Show show;
    Camera& viewer = show.camera;
    viewer.eye = viewer.position = {0, 1500, 6000};
    viewer.forward = normalize(-viewer.eye);
    glLoadIdentity();
    viewer.lookAt();
    flame.draw(show);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);

    int darkened = 0;
    for (int y = 0; y < surfaceHeight; ++y)
        for (int x = 0; x < surfaceWidth; ++x) {
            const auto pixel = pixelAt(x, y);
            darkened += pixel[0] < 127 || pixel[1] < 127 || pixel[2] < 127;
        }
    EXPECT_EQ(darkened, 0);
}
