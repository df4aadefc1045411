#include "objects/screen_sprite.h"

#include <GL/gl.h>

void drawScreenSprite(float halfWidth, float halfHeight) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-halfWidth, -halfHeight);
    glTexCoord2f(0, 1);
    glVertex2f(-halfWidth, halfHeight);
    glTexCoord2f(1, 1);
    glVertex2f(halfWidth, halfHeight);
    glTexCoord2f(1, 0);
    glVertex2f(halfWidth, -halfHeight);
    glEnd();
}
