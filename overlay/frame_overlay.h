#pragma once

#include "base/settings.h"
#include "overlay/clock_text.h"
#include "overlay/glyphs.h"

// Drawn over each finished frame, in the overlay space: the frame counter's number at the top-left corner
// when ShowFPS is on, and the clock at the bottom-right corner when ShowClock is on (12 hours with
// TimeFormat). Both glow additively over the scene. Leaves the state every scene draw expects.
void drawOverlay(const Settings& userSettings, const Glyphs& glyphs, int framesPerSecond, ClockTime now);
