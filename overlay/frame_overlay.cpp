#include "overlay/frame_overlay.h"

#include "overlay/flat_drawing.h"
#include "overlay/glyphs.h"

#include <GL/gl.h>

#include <string>

namespace {

void startGlyphs() {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    bindDigitTexture();
    glColor4f(1, 1, 1, 1);
}

void drawFrameCounter(int framesPerSecond) {
    glLoadIdentity();
    startGlyphs();
    drawDigits(4, 558, std::to_string(framesPerSecond));
}

void drawClock(ClockTime now, bool twelveHour) {
    enterOverlay();
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_ALWAYS, 0);
    startGlyphs();
    drawDigits(525, 2, clockText(now, twelveHour));
    leaveOverlay();
}

} // namespace

void drawOverlay(const Settings& settings, int framesPerSecond, ClockTime now) {
    glFlush();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    enterOverlay();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    if (settings.showFps)
        drawFrameCounter(framesPerSecond);
    leaveOverlay();

    if (settings.showClock)
        drawClock(now, settings.timeFormat);

    // Hand the next frame the additive blending its objects expect, whatever was shown: with neither the
    // counter nor the clock on, the blend function set above would otherwise carry into every later frame.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glFlush();
}
