#include "objects/flame.h"

#include "app/draw_state.h"
#include "app/gl_setup.h"
#include "objects/camera.h"
#include "objects/object_script_reader.h"
#include "tests/app/headless/gl_test_context.h"
#include "tests/data/test_archive.h"
#include "tests/math/expect_near.h"

#include <gtest/gtest.h>

namespace {

// Reads an object script holding flame blocks and returns the flames made.
std::vector<Flame*> readFlames(std::string_view script) {
    TestArchive archive({{"flames.txt", std::vector<std::uint8_t>(script.begin(), script.end())}});
    ObjectList list;
    EXPECT_TRUE(readObjectScript(list, "flames.txt"));
    std::vector<Flame*> flames;
    for (SceneObject* object : list)
        flames.push_back(dynamic_cast<Flame*>(object));
    return flames;
}

} // namespace

TEST(Flame, ReadsItsBlockWithTheSizeCountedFromTwoThousand) {
    const auto flames = readFlames("flame\nbegin\nend\n"
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

TEST(Flame, RingTiltsWithItsXCoordinateAndBandsKeepTheRingHeight) {
    Flame flame;
    flame.ringCentre = {100, 10, -50};
    flame.ringRadius = 1000;
    flame.xStretch = 2;
    flame.slope = 0.5f;
    flame.glowWidth = 1500; // wider than the radius: the inner band turns through the centre

    // A quarter turn per 50 samples; the slope lifts by the absolute x, centre included.
    expectNear(flame.ringPoint(0), {2100, 10 + 0.5f * 2100, -50}, 0.05f);
    expectNear(flame.ringPoint(50), {100, 10 + 0.5f * 100, 950}, 0.05f);
    expectNear(flame.ringPoint(100), {-1900, 10 - 0.5f * 1900, -50}, 0.05f);
    expectNear(flame.ringPoint(Flame::ringSegments), flame.ringPoint(0), 0.05f);

    expectNear(flame.bandEdge(Flame::Band::upper, 0), flame.ringPoint(0) + Vec3{0, 1500, 0}, 0.01f);
    expectNear(flame.bandEdge(Flame::Band::lower, 0), flame.ringPoint(0) - Vec3{0, 1500, 0}, 0.01f);
    expectNear(flame.bandEdge(Flame::Band::outer, 0), {100 + 2500 * 2, 10 + 0.5f * 2100, -50}, 0.05f);
    expectNear(flame.bandEdge(Flame::Band::inner, 0), {100 - 500 * 2, 10 + 0.5f * 2100, -50}, 0.05f);
    expectNear(flame.bandEdge(Flame::Band::inner, 50), {100, 10 + 0.5f * 100, -550}, 0.05f);
}

class FlameDrawing : public GlTest {};

// Seen from above at 5000 units, a ring of radius 2000 crosses the middle row 25.6 pixels from the centre.
TEST_F(FlameDrawing, DrawsAnOpaqueLineWithoutWritingDepthAndRestoresTheState) {
    setupGL(surfaceWidth, surfaceHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -5000);
    glRotatef(90, 1, 0, 0);

    Flame flame;
    flame.ringRadius = 2000;
    flame.glowWidth = 200;
    flame.colorFrom = {1, 0.5f, 0};
    flame.colorTo = {0, 0, 1};
    flame.textured = true; // a texture line does not make it textured
    Camera viewer;
    flame.draw(viewer);
    glLoadIdentity();
    EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{});

    int linePixels = 0;
    for (int x = 54; x <= 61; ++x) {
        const auto pixel = pixelAt(x, surfaceHeight / 2);
        if (pixel[0] == 255 && pixel[1] == 128 && pixel[2] == 0)
            ++linePixels;
    }
    EXPECT_GE(linePixels, 1) << "no pixel of the line's own colour where the ring crosses the middle row";
    EXPECT_EQ(pixelAt(surfaceWidth / 2, surfaceHeight / 2), (std::array<std::uint8_t, 4>{0, 0, 0, 255}))
        << "the middle of the ring lies beyond the glow";

    float depth = 0;
    glReadPixels(57, surfaceHeight / 2, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f) << "the flame must not hide what is drawn after it";
}
