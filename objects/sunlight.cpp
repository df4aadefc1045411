#include "objects/sunlight.h"

#include <GL/gl.h>

Vec3 eyeSpacePoint(Vec3 point) {
    float m[16]; // column-major
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    return {m[0] * point.x + m[4] * point.y + m[8] * point.z + m[12],
            m[1] * point.x + m[5] * point.y + m[9] * point.z + m[13],
            m[2] * point.x + m[6] * point.y + m[10] * point.z + m[14]};
}

Vec3 eyeSpaceSunDirection(Vec3 eyePoint) {
    float sun[4];
    glGetLightfv(GL_LIGHT1, GL_POSITION, sun);
    const Vec3 place{sun[0], sun[1], sun[2]};
    // A light with w = 0 is a direction, the same everywhere.
    return normalize(sun[3] == 0 ? place : place / sun[3] - eyePoint);
}

namespace {

void setDirectionalLight(GLenum light, Vec3 from, float diffuse) {
    const float direction[4] = {from.x, from.y, from.z, 0};
    const float none[4] = {0, 0, 0, 1};
    const float colour[4] = {diffuse, diffuse, diffuse, 1};
    glLightfv(light, GL_POSITION, direction); // under the identity: eye space as given
    glLightfv(light, GL_AMBIENT, none);
    glLightfv(light, GL_SPECULAR, none);
    glLightfv(light, GL_DIFFUSE, colour);
    glLightf(light, GL_SPOT_CUTOFF, 180);
    glLightf(light, GL_CONSTANT_ATTENUATION, 1);
    glLightf(light, GL_LINEAR_ATTENUATION, 0);
    glLightf(light, GL_QUADRATIC_ATTENUATION, 0);
    glEnable(light);
}

} // namespace

// The glow is the material's emission at half strength. One light shines from the Sun with a negative
// colour and takes the glow away where it falls, another shines from the opposite side and raises it to
// full: with n the cosine between the surface's normal and the way to the Sun, the glow is
// 0.5 − 2n clamped to 0..1, full from n = −0.25 (15 degrees into the night) to nothing at n = 0.25 (15
// degrees into the day). Its alpha is the material's diffuse alpha, which the colour sets through colour
// material, so a flash's strength still fades it.
void beginNightSideGlow() {
    const Vec3 towardsSun = eyeSpaceSunDirection(eyeSpacePoint({}));
    glPushAttrib(GL_LIGHTING_BIT);
    glEnable(GL_LIGHTING);
    glDisable(GL_LIGHT1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    constexpr float slope = 2;
    setDirectionalLight(GL_LIGHT0, towardsSun, -slope);
    setDirectionalLight(GL_LIGHT2, -towardsSun, slope);
    glPopMatrix();
    const float none[4] = {0, 0, 0, 1};
    const float halfGlow[4] = {0.5f, 0.5f, 0.5f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glMaterialfv(GL_FRONT, GL_EMISSION, halfGlow);
}

void endNightSideGlow() {
    glPopAttrib();
}

// The light the body sends is its colour (the colour material's ambient and diffuse) times 0.4 from the
// light model's ambient, plus 0.6 from a light on the viewer's side times the cosine between the normal and
// the way to the viewer. The light shines along the line from the centre to the viewer, which for a disc a
// few degrees across is the line of sight everywhere on it.
void beginLimbDarkening() {
    const Vec3 towardsViewer = normalize(-eyeSpacePoint({}));
    glPushAttrib(GL_LIGHTING_BIT);
    glEnable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHT1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    setDirectionalLight(GL_LIGHT2, towardsViewer, 0.6f);
    glPopMatrix();
    const float rimGlow[4] = {0.4f, 0.4f, 0.4f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, rimGlow);
}

void endLimbDarkening() {
    glPopAttrib();
}
