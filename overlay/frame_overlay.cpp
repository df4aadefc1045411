#include "overlay/frame_overlay.h"

#include "overlay/flat_drawing.h"
#include "overlay/glyphs.h"

#include <GL/gl.h>

#include <string>

namespace {

void startGlyphs(const Glyphs& glyphs) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    bindDigitTexture(glyphs);
    glColor4f(1, 1, 1, 1);
}

void drawFrameCounter(const Glyphs& glyphs, int framesPerSecond) {
    glLoadIdentity();
    startGlyphs(glyphs);
    drawDigits(glyphs, 4, 558, std::to_string(framesPerSecond));
}

void drawClock(const Glyphs& glyphs, ClockTime now, bool twelveHour) {
    enterOverlay();
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_ALWAYS, 0);
    startGlyphs(glyphs);
    drawDigits(glyphs, 525, 2, clockText(now, twelveHour));
    leaveOverlay();
}

} // namespace

void drawOverlay(const Settings& userSettings, const Glyphs& glyphs, int framesPerSecond, ClockTime now) {
    glFlush();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    enterOverlay();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    if (userSettings.showFps)
        drawFrameCounter(glyphs, framesPerSecond);
    leaveOverlay();

    if (userSettings.showClock)
        drawClock(glyphs, now, userSettings.timeFormat);

    // Hand the next frame the additive blending its objects expect, whatever was shown: with neither the
    // counter nor the clock on, the blend function set above would otherwise carry into every later frame.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glFlush();
}
