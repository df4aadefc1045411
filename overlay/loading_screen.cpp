#include "overlay/loading_screen.h"

#include "overlay/flat_drawing.h"

#include <GL/gl.h>

namespace {

void drawCentredQuad(float cx, float cy, float halfExtent) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(cx - halfExtent, cy - halfExtent);
    glTexCoord2f(1, 0);
    glVertex2f(cx + halfExtent, cy - halfExtent);
    glTexCoord2f(1, 1);
    glVertex2f(cx + halfExtent, cy + halfExtent);
    glTexCoord2f(0, 1);
    glVertex2f(cx - halfExtent, cy + halfExtent);
    glEnd();
}

} // namespace

LoadingScreen loadLoadingScreen(ShowFiles& files) {
    LoadingScreen screen;
    loadTexture(files, screen.sign, "sign.jpg");
    loadTexture(files, screen.load, "load.jpg");
    return screen;
}

void drawLoadingScreen(const LoadingScreen& screen) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, screen.sign.texture);
    enterOverlay();
    glColor4f(1, 1, 1, 1);
    drawCentredQuad(400, 350, 110);
    glBindTexture(GL_TEXTURE_2D, screen.load.texture);
    drawCentredQuad(400, 140, 100);
    leaveOverlay();
}

void redrawLoadingScreen(const LoadingScreen& screen) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawLoadingScreen(screen);
    glFinish();
}
