#pragma once

#include "app/settings.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The OpenGL state of a saver run. setupGL establishes it once the context is current; every object's draw
// expects it on entry and leaves it so on exit:
//   - model-view matrix mode, the projection of setProjection, identity texture matrix;
//   - blending on with (GL_SRC_ALPHA, GL_ONE): additive, so glows and flares add light;
//   - alpha test, lighting, GL_LIGHT1, 2-D texturing, depth test and GL_NORMALIZE on; depth writes on;
//   - face culling off; GL_LIGHT0 and GL_LIGHT2 off (objects switch them on for themselves).
// The swap interval and the gamma ramp are the shell's: they need the window system.
void setupGL(int width, int height);

// The perspective every frame is drawn with: ±40 vertically at the near plane 80, far plane 5000000, and a
// horizontal extent that follows the window's shape, so 4:3 windows see what they always saw and planets stay
// round on wide screens.
void setProjection(int width, int height);
double horizontalExtent(int width, int height); // ±this at the near plane

// Where the drawing state differs from what setupGL established, one line per difference; empty when all is
// as every draw expects. Tests call it after an object's draw.
std::vector<std::string> drawStateDifferences();

// The display gamma the settings ask for: the exponent for every channel (Gamma 0 → 1.5, 50 → 1.0,
// 100 → 0.5), and the 3 × 256-entry ramp (red, green, blue) that applies it. A smaller exponent brightens.
float gammaExponent(const Settings& s);
std::array<std::uint16_t, 768> gammaRamp(float red, float green, float blue);
