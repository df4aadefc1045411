#include "overlay/loading_screen.h"

#include "data/texture_registry.h"
#include "overlay/flat_drawing.h"

#include <GL/gl.h>

namespace {

TextureEntry signImage;
TextureEntry loadImage;

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

void loadOverlayImages() {
    loadTexture(signImage, "sign.jpg");
    loadTexture(loadImage, "load.jpg");
}

void drawLoadingScreen() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, signImage.texture);
    enterOverlay();
    glColor4f(1, 1, 1, 1);
    drawCentredQuad(400, 350, 110);
    glBindTexture(GL_TEXTURE_2D, loadImage.texture);
    drawCentredQuad(400, 140, 100);
    leaveOverlay();
}

void redrawLoadingScreen() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawLoadingScreen();
    glFinish();
}
