#include "app/gl_setup.h"
#include "base/viewport.h"
#include "gl/draw_state.h"
#include "overlay/flat_drawing.h"
#include "tests/app/headless/gl_test_context.h"

#include <gtest/gtest.h>

namespace {

class FlatDrawing : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        setupGL(surfaceWidth, surfaceHeight);
        setViewport(surfaceWidth, surfaceHeight);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    static void fillRect(float x0, float y0, float x1, float y1) {
        glColor3f(1, 1, 1);
        glRectf(x0, y0, x1, y1);
    }
};

TEST_F(FlatDrawing, OverlaySpaceIs800By600StretchedOverTheWindow) {
    enterOverlay();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    fillRect(400, 300, 800, 600); // the top-right quarter of the window
    leaveOverlay();
    EXPECT_EQ(pixelAt(48, 48)[0], 255);
    EXPECT_EQ(pixelAt(16, 16)[0], 0);
    EXPECT_EQ(pixelAt(16, 48)[0], 0);
}

TEST_F(FlatDrawing, TwoDimensionalModeCountsWindowPixels) {
    enter2D();
    fillRect(10, 20, 11, 21); // exactly one pixel
    leave2D();
    EXPECT_EQ(pixelAt(10, 20)[0], 255);
    EXPECT_EQ(pixelAt(11, 20)[0], 0);
    EXPECT_EQ(pixelAt(10, 21)[0], 0);
}

TEST_F(FlatDrawing, LeavingRestoresTheSceneState) {
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    float projection[16], afterProjection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    enterOverlay();
    leaveOverlay();
    enter2D();
    leave2D();
    glGetFloatv(GL_PROJECTION_MATRIX, afterProjection);
    EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{});
    EXPECT_TRUE(std::equal(projection, projection + 16, afterProjection));
}

} // namespace
