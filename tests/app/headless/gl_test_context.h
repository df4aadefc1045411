#pragma once

#include "app/headless/gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>

// Derive a test from GlTest to draw: every test gets a fresh off-screen context (llvmpipe, RGBA8, depth 24,
// OpenGL 1.1 compatibility, the viewport covering the surface), current on the test's thread, with GL's
// default state; it is gone after the test. The context pins what makes pixels reproducible, so exact pixel
// values may be compared.
class GlTest : public ::testing::Test {
protected:
    static constexpr int surfaceWidth = 64;
    static constexpr int surfaceHeight = 64;

    void SetUp() override {
        context = HeadlessGlContext::create(surfaceWidth, surfaceHeight);
        ASSERT_NE(context, nullptr) << "no off-screen OpenGL context: are Mesa's EGL and llvmpipe installed?";
    }

    // One pixel of the colour buffer as red, green, blue, alpha; (0, 0) is the bottom-left corner.
    static std::array<std::uint8_t, 4> pixelAt(int x, int y) {
        std::array<std::uint8_t, 4> pixel{};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
        return pixel;
    }

    std::unique_ptr<HeadlessGlContext> context;
};
