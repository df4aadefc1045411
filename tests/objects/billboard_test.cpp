#include "objects/billboard.h"
#include "objects/show.h"

#include "app/gl_setup.h"
#include "base/viewport.h"
#include "gl/draw_state.h"
#include "objects/camera.h"
#include "objects/object_script_reader.h"
#include "tests/app/headless/gl_test_context.h"
#include "tests/data/test_archive.h"
#include "tests/math/expect_near.h"
#include "tests/objects/script_objects.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace {

Billboard& billboardAt(const ObjectList& list, std::size_t index) {
    return *dynamic_cast<Billboard*>(list.at(index));
}

// A named mesh to stand as a billboard's parent.
constexpr std::string_view earth = "mesh\nbegin Earth\nposition V(30 0 0)\nend\n";

} // namespace

TEST(BillboardScript, ReadsEveryKeywordOfItsBlock) {
    Show show;
    const ObjectList list =
        readScript(show, std::string(earth) + "billboard\nbegin\n"
                                              "flash 0 1 1\nrotation 30 -1\norient off\nup V(0 2 0)\n"
                                              "right V(0 0 -3)\nparent Earth V(1 2 3)\nend\n"
                                              "billboard\nbegin\n"
                                              "flash 1 1 1)\noreol V(4 5 6) 7\nsize 8\nxy 2\nFOV 0.3\n"
                                              "alpha 0.5\ntiling 3\ncolor V(1 0 0)\nposition V(9 9 9)\n"
                                              "blend\ndepth\nsys\nparent earth V(1 2 3)\nenv V(0 0 -5)\nend\n"
                                              "billboard\nbegin\nrotation 12\nend\n"
                                              "ENDWORLD\n");
    ASSERT_EQ(list.size(), 4u);

    const Billboard& first = billboardAt(list, 1);
    EXPECT_TRUE(first.flash);
    EXPECT_EQ(first.flashTimer, 0);
    EXPECT_EQ(first.flashOff, 1);
    EXPECT_EQ(first.flashOn, 1);
    EXPECT_EQ(first.angle, 30);
    EXPECT_EQ(first.spinSpeed, -60); // per frame in the script, per second in the object
    EXPECT_TRUE(first.orientOff);
    expectNear(first.up, {0, 1, 0}, 1e-4f);
    expectNear(first.right, {0, 0, -1}, 1e-4f);
    EXPECT_EQ(first.parent, list[0]);
    expectNear(first.offset, {1, 2, 3}, 1e-4f);

    const Billboard& second = billboardAt(list, 2);
    EXPECT_TRUE(second.flash); // the closing parenthesis may be there or not
    EXPECT_EQ(second.flashTimer, 1);
    EXPECT_EQ(second.flashOn, 1);
    EXPECT_TRUE(second.oreol);
    EXPECT_EQ(second.oreolRadius, 7);
    EXPECT_TRUE(second.env);
    expectNear(second.offset, {0, 0, -5}, 1e-4f); // the last of the parent, oreol and env lines
    EXPECT_EQ(second.parent, nullptr);            // names are case-sensitive
    EXPECT_EQ(second.size, 8);
    EXPECT_EQ(second.xy, 2);
    EXPECT_FLOAT_EQ(second.fov, 0.3f);
    EXPECT_EQ(second.alpha, 0.5f);
    EXPECT_EQ(second.tiling, 3);
    expectNear(second.color, {1, 0, 0}, 1e-4f);
    expectNear(second.position, {9, 9, 9}, 1e-4f);
    EXPECT_TRUE(second.blend && second.depth && second.sys);
    EXPECT_FALSE(second.orientOff);

    // A rotation line without its speed keeps the random spin, which stays within a frame's 1 degree.
    const Billboard& third = billboardAt(list, 3);
    EXPECT_EQ(third.angle, 12);
    EXPECT_GE(third.spinSpeed, -60);
    EXPECT_LE(third.spinSpeed, 60);
    EXPECT_EQ(third.size, 5);
    EXPECT_FALSE(third.flash || third.env || third.oreol || third.sys);
}

TEST(BillboardUpdate, SpinsWithinAFullTurnAndRunsTheBlinkCycle) {
    Show show;
    Billboard billboard;
    billboard.spinSpeed = -60;
    billboard.flashOff = 1;
    billboard.flashOn = 1;
    billboard.update(show, 0.5);
    EXPECT_FLOAT_EQ(billboard.angle, 330);
    billboard.update(show, 6.0);
    EXPECT_FLOAT_EQ(billboard.angle, 330);
    billboard.spinSpeed = 60;
    billboard.update(show, 1.0);
    EXPECT_FLOAT_EQ(billboard.angle, 30);

    Billboard blinking;
    blinking.flashOff = 1;
    blinking.flashOn = 1;
    blinking.update(show, 1.5);
    EXPECT_FLOAT_EQ(blinking.flashTimer, 1.5f);
    blinking.update(show, 1.0);
    EXPECT_FLOAT_EQ(blinking.flashTimer, 0.5f); // a new cycle, dark again
}

// Billboards drawn in the saver run's state, seen from 100 units out on +z looking at the origin, where the
// visible square is 100 units high.
class BillboardDraw : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        setViewport(surfaceWidth, surfaceHeight);
        setupGL(surfaceWidth, surfaceHeight);
        lookFrom({0, 0, 100});
    }
    void TearDown() override {
        setViewport(800, 600);
        GlTest::TearDown();
    }

    void lookFrom(Vec3 eye) {
        camera.eye = camera.position = eye;
        camera.forward = normalize(-eye);
        camera.up = {0, 1, 0};
    }

    void drawFrame(Billboard& billboard) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        camera.lookAt();
        billboard.draw(show);
    }

    bool litAt(int x, int y) { return pixelAt(x, y)[0] > 128; }

    Show show;

    Camera& camera = show.camera;
};

TEST_F(BillboardDraw, LeavesTheStateTheNextObjectExpectsWhateverItsSettings) {
    const std::string settingsOf[] = {
        "",
        "blend",
        "depth",
        "oreol V(0 0 0) 10",
        "env V(0 0 -20)",
        "flash 0 1 1",
        "orient off\nup V(0 0 1)",
        "sys",
        "parent Earth V(0 5 0)\nsys",
        "parent Earth V(0 5 0)\nsys\norient off",
        "tiling 4\nxy 3\nrotation 45 1",
        "env V(0 0 -20)\nblend\ndepth\noreol V(0 0 0) 10\nflash 0 1 1\nparent Earth V(0 1 0)\nsys",
    };
    std::string script(earth);
    for (const std::string& lines : settingsOf)
        script += "billboard\nbegin\n" + lines + "\nend\n";
    const ObjectList list = readScript(show, script);
    ASSERT_EQ(list.size(), std::size(settingsOf) + 1);

    for (std::size_t i = 1; i < list.size(); ++i) {
        SCOPED_TRACE("billboard with: " + settingsOf[i - 1]);
        drawFrame(billboardAt(list, i));
        EXPECT_TRUE(drawStateDifferences().empty()) << ::testing::PrintToString(drawStateDifferences());
        GLint alphaFunction = 0;
        glGetIntegerv(GL_ALPHA_TEST_FUNC, &alphaFunction);
        EXPECT_EQ(alphaFunction, GL_ALWAYS);
    }
}

TEST_F(BillboardDraw, ATailAwayFromTheSunTurnsAboutItsLineToFaceTheViewer) {
    // The parent stands on +x from the Sun at the origin. The viewer on +z looks along the plane a card fixed
    // about the line would keep (x and z): it would be a hairline.
    const ObjectList list = readScript(
        show, std::string(earth) + "billboard\nbegin\nsys\nparent Earth V(0 0 0)\nsize 20\nend\nENDWORLD\n");
    Billboard& tail = billboardAt(list, 1);
    for (const Vec3 eye : {Vec3{0, 0, 100}, Vec3{0, 100, 30}, Vec3{-60, 50, 60}}) {
        SCOPED_TRACE(::testing::PrintToString(std::vector<float>{eye.x, eye.y, eye.z}));
        lookFrom(eye);
        drawFrame(tail);
        expectNear(tail.up, {1, 0, 0}, 1e-5f); // along the line from the Sun
        const Vec3 towardsViewer = normalize(eye - tail.position);
        EXPECT_GT(std::abs(dot(normalize(cross(tail.right, tail.up)), towardsViewer)), 0.5f)
            << "faces the viewer";
        int lit = 0;
        for (int y = 0; y < surfaceHeight; ++y)
            for (int x = 0; x < surfaceWidth; ++x)
                lit += litAt(x, y);
        EXPECT_GT(lit, surfaceWidth * surfaceHeight / 20);
    }
}

TEST_F(BillboardDraw, BlinksDarkThenLitForTheScriptsTimes) {
    const ObjectList list = readScript(show, "billboard\nbegin\nsize 20\nflash 0 1 1\nend\n"
                                             "billboard\nbegin\nsize 20\nflash 1 1 1)\nend\nENDWORLD\n");
    Billboard& startsDark = billboardAt(list, 0);
    Billboard& startsLit = billboardAt(list, 1);

    drawFrame(startsDark);
    EXPECT_FALSE(litAt(32, 32));
    drawFrame(startsLit);
    EXPECT_TRUE(litAt(32, 32));

    startsDark.update(show, 1.5);
    startsLit.update(show, 1.5);
    drawFrame(startsDark);
    EXPECT_TRUE(litAt(32, 32));
    drawFrame(startsLit);
    EXPECT_FALSE(litAt(32, 32));
}

TEST_F(BillboardDraw, HaloStandsOnTheRimTheViewerSees) {
    Billboard halo;
    halo.oreol = true;
    halo.oreolRadius = 100;
    halo.size = 10;
    lookFrom({0, 0, 200}); // k = 0.5: the rim circle lies halfway to the viewer
    drawFrame(halo);
    expectNear(halo.position, {0, 0, 50}, 1e-4f);
    expectNear(halo.up, {0, 1, 0}, 1e-4f);
    // s = 0.75 R + 0.5 size = 80 at 150 units from the eye, where the view is 150 high: about 0.53 of it
    // across each way from the centre, so the square just overfills the frame.
    EXPECT_TRUE(litAt(1, 1));
    EXPECT_TRUE(litAt(62, 62));

    // At the sphere's centre the viewer sees no rim: nothing is drawn, and the state is as it was.
    halo.offset = {0, 0, 200};
    drawFrame(halo);
    EXPECT_FALSE(litAt(32, 32));
    EXPECT_TRUE(drawStateDifferences().empty()) << ::testing::PrintToString(drawStateDifferences());
}

TEST_F(BillboardDraw, EnvSpriteKeepsItsPlaceBeforeTheEyeAndTheWindowsShape) {
    // A window twice as wide as high drawn into a square surface: the sprite's width in pixels is half its
    // height exactly when its frustum is as wide as the window.
    setViewport(2 * surfaceHeight, surfaceHeight);
    Billboard sprite;
    sprite.env = true;
    sprite.offset = {0, 0, -10}; // the frustum is 2 high there
    sprite.size = 0.5f;          // a quarter of it each way
    for (Vec3 eye : {Vec3{0, 0, 100}, Vec3{4000, 3000, 0}}) {
        lookFrom(eye);
        sprite.offset = 10 * camera.forward;
        drawFrame(sprite);
        SCOPED_TRACE(::testing::Message() << "eye at " << eye.x << " " << eye.y << " " << eye.z);
        expectNear(sprite.position, eye + sprite.offset, 1e-4f);
        int width = 0;
        int height = 0;
        for (int i = 0; i < surfaceWidth; ++i) {
            width += litAt(i, 32) ? 1 : 0;
            height += litAt(32, i) ? 1 : 0;
        }
        EXPECT_NEAR(height, 32, 1);
        EXPECT_NEAR(width, 16, 1);
    }
}

TEST_F(BillboardDraw, GlowOverAParentFlickersAboveItsAlpha) {
    const ObjectList list = readScript(
        show, std::string(earth) + "billboard\nbegin\nsize 20\nalpha 0.5\nparent Earth V(0 0 0)\nend\n");
    Billboard& glow = billboardAt(list, 1);
    glow.parent->position = {0, 0, 0};
    std::set<int> seen;
    for (int frame = 0; frame < 12; ++frame) {
        drawFrame(glow);
        const int red = pixelAt(32, 32)[0];
        EXPECT_GE(red, 127);
        EXPECT_LE(red, 205);
        seen.insert(red);
    }
    EXPECT_GT(seen.size(), 3u);
}
