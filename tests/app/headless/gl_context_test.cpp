#include "tests/app/headless/gl_test_context.h"

#include <GL/glu.h>

#include <cstring>

using Rgba = std::array<std::uint8_t, 4>;

TEST_F(GlTest, IsACompatibilityContextOnLlvmpipeWithTheRequestedBuffers) {
    EXPECT_NE(std::strstr(reinterpret_cast<const char*>(glGetString(GL_RENDERER)), "llvmpipe"), nullptr);
    GLint bits[5] = {};
    glGetIntegerv(GL_RED_BITS, &bits[0]);
    glGetIntegerv(GL_GREEN_BITS, &bits[1]);
    glGetIntegerv(GL_BLUE_BITS, &bits[2]);
    glGetIntegerv(GL_ALPHA_BITS, &bits[3]);
    glGetIntegerv(GL_DEPTH_BITS, &bits[4]);
    EXPECT_EQ((std::array<GLint, 5>{bits[0], bits[1], bits[2], bits[3], bits[4]}),
              (std::array<GLint, 5>{8, 8, 8, 8, 24}));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], surfaceWidth);
    EXPECT_EQ(viewport[3], surfaceHeight);
}

// Fixed-function drawing and GLU both work: a lit-free immediate-mode quad placed with gluOrtho2D covers
// exactly the left half, and the depth test sees the 24-bit buffer.
TEST_F(GlTest, DrawsFixedFunctionGeometryPlacedWithGlu) {
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    gluOrtho2D(0, surfaceWidth, 0, surfaceHeight);
    glEnable(GL_DEPTH_TEST);
    glColor3ub(255, 128, 0);
    glBegin(GL_QUADS);
    glVertex2i(0, 0);
    glVertex2i(surfaceWidth / 2, 0);
    glVertex2i(surfaceWidth / 2, surfaceHeight);
    glVertex2i(0, surfaceHeight);
    glEnd();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(pixelAt(0, 0), (Rgba{255, 128, 0, 255}));
    EXPECT_EQ(pixelAt(surfaceWidth / 2 - 1, surfaceHeight - 1), (Rgba{255, 128, 0, 255}));
    EXPECT_EQ(pixelAt(surfaceWidth / 2, 0), (Rgba{0, 0, 255, 255}));
    GLfloat depth = -1;
    glReadPixels(1, 1, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(depth, 0.5f);
}

TEST_F(GlTest, ReadPixelsReturnsTheWholeSurfaceBottomRowFirst) {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const auto pixels = context->readPixels();
    ASSERT_EQ(pixels.size(), std::size_t{surfaceWidth * surfaceHeight * 4});
    EXPECT_EQ((Rgba{pixels[0], pixels[1], pixels[2], pixels[3]}), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ((Rgba{pixels[4], pixels[5], pixels[6], pixels[7]}), (Rgba{0, 0, 0, 0}));
}

TEST(HeadlessGlContext, EachContextHasItsOwnStateAndSize) {
    auto first = HeadlessGlContext::create(16, 8);
    ASSERT_NE(first, nullptr);
    glEnable(GL_BLEND);
    first.reset();
    auto second = HeadlessGlContext::create(8, 16);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(second->readPixels().size(), std::size_t{8 * 16 * 4});
    EXPECT_EQ(HeadlessGlContext::create(0, 16), nullptr);
}

// A multisampled context smooths a slanted edge into in-between shades, where a plain one has only the two
// colours; and one depth pixel reads back from either, as the flares read theirs to see whether they are
// hidden.
TEST(HeadlessGlContext, AMultisampledContextSmoothsEdgesAndStillReadsDepth) {
    for (auto multisampling : {HeadlessGlContext::Multisampling::off, HeadlessGlContext::Multisampling::on}) {
        const bool on = multisampling == HeadlessGlContext::Multisampling::on;
        SCOPED_TRACE(on ? "multisampled" : "plain");
        auto context =
            HeadlessGlContext::create(64, 64, HeadlessGlContext::Rasterizer::callingThread, multisampling);
        ASSERT_NE(context, nullptr);
        GLint sampleBuffers = -1;
        glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
        EXPECT_EQ(sampleBuffers, on ? 1 : 0);

        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        gluOrtho2D(0, 64, 0, 64);
        glEnable(GL_DEPTH_TEST);
        glColor3ub(255, 255, 255);
        glBegin(GL_TRIANGLES); // the lower-left half, cut by a line slanted against the pixel grid
        glVertex2f(0, 0);
        glVertex2f(64, 0);
        glVertex2f(0, 40);
        glEnd();
        // A scissor box left set by the drawing does not cut the picture read back.
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1, 1);
        int inBetween = 0;
        const std::vector<std::uint8_t> pixels = context->readPixels();
        for (std::size_t i = 0; i < pixels.size(); i += 4)
            inBetween += pixels[i] > 0 && pixels[i] < 255;
        if (on)
            EXPECT_GT(inBetween, 40) << "the edge is not smoothed";
        else
            EXPECT_EQ(inBetween, 0);

        GLfloat depth[2] = {-1, -1};
        glReadPixels(4, 4, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[0]);
        glReadPixels(60, 60, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth[1]);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_FLOAT_EQ(depth[0], 0.5f) << "inside the triangle";
        EXPECT_FLOAT_EQ(depth[1], 1.0f) << "outside it";
    }
}
