#include "overlay/flat_drawing.h"

#include <GL/gl.h>

namespace {

int windowWidth = 800;
int windowHeight = 600;

void enterFlat(double width, double height) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glViewport(0, 0, windowWidth, windowHeight);
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

void setFlatDrawingWindow(int width, int height) {
    windowWidth = width;
    windowHeight = height;
}

void enterOverlay() {
    enterFlat(800, 600);
}
void leaveOverlay() {
    leaveFlat();
}
void enter2D() {
    enterFlat(windowWidth, windowHeight);
}
void leave2D() {
    leaveFlat();
}
