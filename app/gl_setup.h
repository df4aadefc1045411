#pragma once

#include "base/settings.h"

#include <array>
#include <cstdint>

// The OpenGL state of a saver run: the GL set-up of the saver, then the state every draw expects
// (gl/draw_state.h). The swap interval and the gamma ramp are the shell's: they need the window system.
void setupGL(int width, int height);

// The perspective every frame is drawn with: ±40 vertically at the near plane 80, far plane 5000000, and a
// horizontal extent that follows the window's shape, so 4:3 windows see what they always saw and planets stay
// round on wide screens.
void setProjection(int width, int height);
double horizontalExtent(int width, int height); // ±this at the near plane

// The display gamma the settings ask for: the exponent for every channel (Gamma 0 → 1.5, 50 → 1.0,
// 100 → 0.5), and the 3 × 256-entry ramp (red, green, blue) that applies it. A smaller exponent brightens.
float gammaExponent(const Settings& s);
std::array<std::uint16_t, 768> gammaRamp(float red, float green, float blue);
