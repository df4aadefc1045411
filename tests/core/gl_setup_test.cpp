#include "app/gl_setup.h"
#include "tests/gl/gl_test_context.h"

#include <gtest/gtest.h>

namespace {

TEST(Gamma, ExponentFollowsTheBrightnessSetting) {
    Settings s;
    s.gamma = 0;
    EXPECT_FLOAT_EQ(gammaExponent(s), 1.5f);
    s.gamma = 50;
    EXPECT_FLOAT_EQ(gammaExponent(s), 1.0f);
    s.gamma = 100;
    EXPECT_FLOAT_EQ(gammaExponent(s), 0.5f);
}

TEST(Gamma, RampOfExponentOneIsTheIdentityAndSmallerExponentsBrighten) {
    auto identity = gammaRamp(1, 1, 1);
    for (int k = 0; k < 256; ++k)
        ASSERT_EQ(identity[k], k * 256) << k;
    EXPECT_EQ(identity[256 + 255], 255 * 256);

    auto mixed = gammaRamp(0.5f, 1.0f, 1.5f);
    EXPECT_EQ(mixed[64], 32768);          // sqrt(0.25) of full scale, red brightened
    EXPECT_EQ(mixed[256 + 64], 64 * 256); // green untouched
    EXPECT_EQ(mixed[512 + 64], 8192);     // 0.25^1.5 = 0.125, blue darkened
    EXPECT_EQ(mixed[0], 0);
    EXPECT_LT(mixed[255], 65536);
}

class GlSetup : public GlTest {};

TEST_F(GlSetup, EstablishesTheStateEveryDrawExpects) {
    setupGL(surfaceWidth, surfaceHeight);
    EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{});

    glDepthMask(GL_FALSE);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    auto differences = drawStateDifferences();
    EXPECT_EQ(differences.size(), 4u);
    glPopMatrix();
}

TEST_F(GlSetup, ProjectionKeepsTheVerticalExtentAndWidensWithTheWindow) {
    EXPECT_NEAR(horizontalExtent(800, 600), 53.333333, 1e-5);
    EXPECT_NEAR(horizontalExtent(1920, 1080), 40 * 16.0 / 9.0, 1e-5);

    for (auto [w, h] : {std::pair{800, 600}, std::pair{1920, 1080}}) {
        setProjection(w, h);
        float m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        EXPECT_NEAR(m[5], 80.0 / 40.0, 1e-6);                       // 2n / (top - bottom)
        EXPECT_NEAR(m[0], 80.0 / horizontalExtent(w, h), 1e-6);     // 2n / (right - left)
        EXPECT_NEAR(m[0] / m[5], static_cast<double>(h) / w, 1e-6); // round things stay round
    }
}

} // namespace
