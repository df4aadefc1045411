#include "app/gl_setup.h"
#include "gl/draw_state.h"
#include "tests/app/headless/gl_test_context.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

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

// Each item of what every draw expects, changed alone, is reported alone, and establishDrawState puts it
// right.
TEST_F(GlSetup, TheCheckerSeesEveryItemOfTheDrawStateChangedAlone) {
    setupGL(surfaceWidth, surfaceHeight);
    ASSERT_EQ(drawStateDifferences(), std::vector<std::string>{});

    const std::pair<const char*, std::function<void()>> changes[] = {
        {"blending", [] { glDisable(GL_BLEND); }},
        {"alpha test", [] { glDisable(GL_ALPHA_TEST); }},
        {"depth test", [] { glDisable(GL_DEPTH_TEST); }},
        {"lighting", [] { glDisable(GL_LIGHTING); }},
        {"light 0", [] { glEnable(GL_LIGHT0); }},
        {"light 1", [] { glDisable(GL_LIGHT1); }},
        {"light 2", [] { glEnable(GL_LIGHT2); }},
        {"GL_NORMALIZE", [] { glDisable(GL_NORMALIZE); }},
        {"colour material", [] { glEnable(GL_COLOR_MATERIAL); }},
        {"2-D texturing", [] { glDisable(GL_TEXTURE_2D); }},
        {"generation (s)", [] { glEnable(GL_TEXTURE_GEN_S); }},
        {"generation (t)", [] { glEnable(GL_TEXTURE_GEN_T); }},
        {"fog", [] { glEnable(GL_FOG); }},
        {"face culling", [] { glEnable(GL_CULL_FACE); }},
        {"matrix mode", [] { glMatrixMode(GL_PROJECTION); }},
        {"blend source", [] { glBlendFunc(GL_ONE, GL_ONE); }},
        {"blend destination", [] { glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); }},
        {"alpha function", [] { glAlphaFunc(GL_GREATER, 0.5f); }},
        {"depth function", [] { glDepthFunc(GL_LEQUAL); }},
        {"cull-face mode is GL_FRONT", [] { glCullFace(GL_FRONT); }},
        {"front face", [] { glFrontFace(GL_CW); }},
        {"colour material parameter", [] { glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE); }},
        {"texture environment mode is GL_ADD",
         [] { glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD); }},
        {"depth writes", [] { glDepthMask(GL_FALSE); }},
        {"model-view stack", [] { glPushMatrix(); }},
        {"projection stack",
         [] {
             glMatrixMode(GL_PROJECTION);
             glPushMatrix();
             glMatrixMode(GL_MODELVIEW);
         }},
        {"texture stack",
         [] {
             glMatrixMode(GL_TEXTURE);
             glPushMatrix();
             glMatrixMode(GL_MODELVIEW);
         }},
        {"texture matrix",
         [] {
             glMatrixMode(GL_TEXTURE);
             glScalef(2, 2, 1);
             glMatrixMode(GL_MODELVIEW);
         }},
        {"GL error", [] { glEnable(GL_TEXTURE_ENV); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        change();
        const std::vector<std::string> differences = drawStateDifferences();
        ASSERT_EQ(differences.size(), 1u) << ::testing::PrintToString(differences);
        EXPECT_NE(differences[0].find(what), std::string::npos) << differences[0];
        establishDrawState();
        EXPECT_EQ(drawStateDifferences(), std::vector<std::string>{});
    }
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
