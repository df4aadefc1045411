#include "overlay/flat_drawing.h"

#include "base/viewport.h"

#include <GL/gl.h>

namespace {

void enterFlat(double width, double height) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glViewport(0, 0, viewport().width, viewport().height);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void leaveFlat() {
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

} // namespace

void enterOverlay() {
    enterFlat(800, 600);
}
void leaveOverlay() {
    leaveFlat();
}
void enter2D() {
    enterFlat(viewport().width, viewport().height);
}
void leave2D() {
    leaveFlat();
}
