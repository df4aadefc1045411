#include "app/gl_setup.h"

#include "base/viewport.h"
#include "gl/draw_state.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr double nearPlane = 80;
constexpr double farPlane = 5000000;
constexpr double verticalExtent = 40;

// Not in the OpenGL 1.1 headers of every platform; part of OpenGL 1.2.
constexpr GLenum lightModelColorControl = 0x81F8;
constexpr GLenum separateSpecularColor = 0x81FA;

void lightVector(GLenum light, GLenum name, float a, float b, float c, float d) {
    const float v[4] = {a, b, c, d};
    glLightfv(light, name, v);
}

} // namespace

double horizontalExtent(int width, int height) {
    return verticalExtent * Viewport{width, height}.aspect();
}

void setProjection(int width, int height) {
    const double x = horizontalExtent(width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-x, x, -verticalExtent, verticalExtent, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
}

void setupGL(int width, int height) {
    for (GLenum capability : {GL_ALPHA_TEST, GL_DEPTH_TEST, GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_BLEND,
                              GL_TEXTURE_2D, GL_NORMALIZE})
        glEnable(capability);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glViewport(0, 0, width, height);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    setProjection(width, height);
    glLoadIdentity();
    glDisable(GL_LIGHT0);

    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    glLightModeli(lightModelColorControl, separateSpecularColor);
    const float ambient[4] = {0, 0, 0.1f, 0};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);

    lightVector(GL_LIGHT1, GL_POSITION, 0, 0, 9100, 1);
    lightVector(GL_LIGHT1, GL_DIFFUSE, 1, 1, 1, 1);
    lightVector(GL_LIGHT1, GL_SPECULAR, 1, 1, 1, 1);
    lightVector(GL_LIGHT0, GL_SPECULAR, 0, 0, 0, 1);
    lightVector(GL_LIGHT0, GL_DIFFUSE, 0.3f, 0.3f, 0.3f, 1);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 3);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 60);
    glLightf(GL_LIGHT2, GL_QUADRATIC_ATTENUATION, 0.006f);

    glClearColor(0, 0, 0, 1);
    glLineWidth(1);
    glDisable(GL_LIGHT2);
    // The rest of what every draw expects, the cull-face mode among it, is GL's default, but a shell may have
    // drawn with the context before: it is set rather than assumed.
    establishDrawState();
}

float gammaExponent(const Settings& s) {
    return static_cast<float>(1.0 - ((static_cast<double>(s.gamma) - 50.0) / 50.0) * 0.5);
}

std::array<std::uint16_t, 768> gammaRamp(float red, float green, float blue) {
    std::array<std::uint16_t, 768> ramp{};
    const float exponents[3] = {red, green, blue};
    for (int channel = 0; channel < 3; ++channel)
        for (int k = 0; k < 256; ++k) {
            // (k/256)^e × 65536 stays below 65536 for k < 256 only while e > 0; e ≤ 0 reaches 65536 or more
            // (infinity at k = 0), which must saturate at full white rather than wrap to black.
            const double value = std::pow(k / 256.0, static_cast<double>(exponents[channel])) * 65536.0;
            ramp[channel * 256 + k] = static_cast<std::uint16_t>(std::fmin(std::fmax(value, 0.0), 65535.0));
        }
    return ramp;
}
