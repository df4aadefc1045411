// The overlay as the saver run drives it: the loading screen on every loading step, and the frame counter's
// window clearing the pointer travel that ends the run.
#include "app/headless/gl_context.h"
#include "app/saver_run.h"
#include "data/texture_registry.h"
#include "overlay/loading_screen.h"
#include "tests/data/picture_files.h"
#include "tests/data/test_archive.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

class OverlayInSaverRun : public ::testing::Test {
protected:
    void SetUp() override {
        context = HeadlessGlContext::create(800, 600);
        ASSERT_NE(context, nullptr);
    }

    // Two textures, so the loading screen is drawn more than once, and a world with nothing in it.
    TestArchive archive{{{"texture.txt", text("a.jpg\nb.jpg\nEND_TEXT\n")},
                         {"textures\\a.jpg", solidJpeg(0, 0, 255)},
                         {"textures\\b.jpg", solidJpeg(0, 255, 0)},
                         {"textures\\sign.jpg", solidJpeg(255, 0, 0)},
                         {"textures\\load.jpg", solidJpeg(255, 255, 255)},
                         {"env.txt", text("env space\nend\nENV_END\n")},
                         {"worlds.txt", text("world world\nenv space\nobjects empty.txt\nend\nWORLD_END\n")},
                         {"empty.txt", text("ENDWORLD\n")}}};
    std::unique_ptr<HeadlessGlContext> context;
};

TEST_F(OverlayInSaverRun, EveryLoadingStepShowsTheLoadingPictures) {
    Settings settings;
    int steps = 0;
    std::vector<bool> signShown;
    SaverHooks hooks;
    const SaverRun* loading = nullptr;
    hooks.loadingProgress = [&] {
        redrawLoadingScreen(loading->loadingScreen());
        std::uint8_t pixel[4] = {};
        glReadPixels(400, 350, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        // the red sign picture, not an untextured white square
        signShown.push_back(pixel[0] > 240 && pixel[1] < 16 && pixel[2] < 16);
        ++steps;
    };
    SaverRun run(settings, 800, 600, hooks, archive.path());
    loading = &run;
    ASSERT_TRUE(run.load(1));
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(signShown, std::vector<bool>(2, true)) << "the sign picture was not there from the start";
}

TEST_F(OverlayInSaverRun, EachFrameCounterWindowClearsThePointerTravel) {
    Settings settings;
    settings.mouseExit = true;
    SaverRun run(settings, 800, 600, {}, archive.path());
    ASSERT_TRUE(run.load(1));
    // 1.5 of travel in each of four quarter-second frames, then a still frame that ends the counter's
    // first second: without the clearing, four more such frames would carry the travel past 7.
    for (int frame = 0; frame < 4; ++frame) {
        run.exitRules().pointerMoved(5, 0);
        ASSERT_TRUE(run.frame(0.25));
    }
    EXPECT_FLOAT_EQ(run.exitRules().travel(), 6.0f);
    ASSERT_TRUE(run.frame(0.25));
    EXPECT_EQ(run.exitRules().travel(), 0.0f);
    for (int frame = 0; frame < 4; ++frame) {
        run.exitRules().pointerMoved(5, 0);
        EXPECT_TRUE(run.frame(0.25));
    }
    EXPECT_FLOAT_EQ(run.exitRules().travel(), 6.0f);
}

} // namespace
