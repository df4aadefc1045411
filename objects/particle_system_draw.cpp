// Drawing the three motion modes. Every particle is a sprite: a square of half-size s spanned by two axes,
// turned about the axis facing the viewer.
#include "objects/particle_system.h"

#include "math/random.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

namespace {

void vertex(Vec3 v) {
    glVertex3f(v.x, v.y, v.z);
}

// One sprite of half-size `halfSize` spanned by `right` and `up`, at the origin of the current matrix.
void drawSprite(Vec3 right, Vec3 up, float halfSize, float opacity) {
    glColor4f(1, 1, 1, opacity);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0, 0);
    vertex((-right - up) * halfSize);
    glTexCoord2f(1, 0);
    vertex((right - up) * halfSize);
    glTexCoord2f(0, 1);
    vertex((-right + up) * halfSize);
    glTexCoord2f(1, 1);
    vertex((right + up) * halfSize);
    glEnd();
}

void rotate(float degrees, Vec3 axis) {
    glRotatef(degrees, axis.x, axis.y, axis.z);
}

void translate(Vec3 v) {
    glTranslatef(v.x, v.y, v.z);
}

// The viewer's right and up axes in the coordinates of the current model-view matrix, so sprites face it.
struct ViewAxes {
    Vec3 right;
    Vec3 up;
    Vec3 facing; // right × up: the axis sprites turn about
};

ViewAxes viewAxes() {
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const Vec3 right{m[0], m[4], m[8]};
    const Vec3 up{m[1], m[5], m[9]};
    return {right, up, cross(right, up)};
}

// Streams and eruptions glow: no lighting or alpha test to dim them, and no depth writes, so they hide
// nothing. They keep the depth test, so a planet passing in front of the Sun hides the Sun's eruptions and
// jet rather than wearing them.
void beginGlowingSprites(GLuint texture) {
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, texture);
}

// Lighting and the alpha test come back on as well, so the objects drawn next find the scene's state.
void endGlowingSprites() {
    glDepthMask(GL_TRUE);
    glEnable(GL_LIGHTING);
    glEnable(GL_ALPHA_TEST);
}

// elapsed / duration, or 0 when the duration is 0 (an eruption system drawn before its first eruption), so
// that a 0/0 draws nothing rather than NaN.
float fraction(float elapsed, float duration) {
    return duration != 0 ? elapsed / duration : 0;
}

} // namespace

void ParticleSystem::draw(const Show&) {
    switch (motionMode) {
    case MotionMode::none:
        return;
    case MotionMode::line:
        drawStream();
        return;
    case MotionMode::circ:
        drawEruption();
        return;
    case MotionMode::flash:
        drawChain();
        return;
    }
}

void ParticleSystem::drawStream() {
    glPushMatrix();
    const ViewAxes view = viewAxes();
    beginGlowingSprites(textureId);
    translate(position);
    const int count = particleCount();
    for (int i = 0; i < count; ++i) {
        const Particle& particle = particles[static_cast<std::size_t>(i)];
        const Vec3 p = particle.position;
        glPushMatrix();
        translate(p);
        rotate(20 * p.z * static_cast<float>(count - 2 * i), view.facing);
        // A particle with no life yet (its age and life both 0) is drawn transparent.
        const float opacity = particle.life != 0 ? 1 - particle.age / particle.life : 0;
        drawSprite(view.right, view.up, 800 - 0.2f * p.z, opacity);
        glPopMatrix();
    }
    endGlowingSprites();
    glPopMatrix();
}

void ParticleSystem::drawEruption() {
    glPushMatrix();
    // The glow lies flat on the sphere at the eruption point.
    const Vec3 outward = position - point1;
    const Vec3 glowRight = normalize(cross(outward, Vec3{0, 1, 0}));
    const Vec3 glowUp = normalize(cross(glowRight, outward));
    const ViewAxes view = viewAxes();
    beginGlowingSprites(textureId);
    translate(position);

    // Everything fades in towards halfway to the next eruption and out again.
    const float progress = fraction(burstTimer, burstInterval);
    const float opacity = 1 - std::fabs(2 * progress - 1);
    drawSprite(glowRight, glowUp, 2000, opacity);

    const int count = particleCount();
    for (int i = 0; i < count; ++i) {
        glPushMatrix();
        translate(particles[static_cast<std::size_t>(i)].position);
        rotate(20 * progress * static_cast<float>(count - 2 * i), view.facing);
        drawSprite(view.right, view.up, 500, opacity);
        glPopMatrix();
    }
    endGlowingSprites();
    glPopMatrix();
}

void ParticleSystem::drawChain() {
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, textureId);
    glDisable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);

    const float spin = spinPhase / 0.1f;
    const int count = particleCount();
    translate(position);
    glDepthMask(GL_FALSE);

    // The chain's sprites lie in its plane, so the chain shows as a zig-zag only from the side it faces.
    const Vec3 chainRight = cross(right, Vec3{0, 1, 0});
    const Vec3 chainUp = cross(chainRight, right);
    const Vec3 facing = cross(chainRight, chainUp);
    glNormal3f(facing.x, facing.y, facing.z);

    // A flickering glow at the chain's middle, dimmer the further the spot is from the chain's start.
    if (count > 0) {
        const float flicker = randomFraction();
        const float glowOpacity =
            0.2f + 0.4f * flicker - 0.2f * static_cast<float>(std::abs(sweepStep)) / count;
        const float growth = randomFraction();
        const float glowSize = 2000 + 1000 * growth;
        glPushMatrix();
        translate(particles[static_cast<std::size_t>(count / 2)].position);
        const float glowTurn = randomFraction();
        rotate(360 * glowTurn, facing);
        drawSprite(chainRight, chainUp, glowSize, glowOpacity);
        glPopMatrix();
    }

    // The bright spot sits on particle sweepStep and fades over the particles around it.
    for (int i = 0; i < count; ++i) {
        glPushMatrix();
        translate(particles[static_cast<std::size_t>(i)].position);
        rotate(20 * spin * static_cast<float>(count - 2 * i), facing);
        const float sparkle = randomFraction();
        const float opacity =
            1 - static_cast<float>(std::abs(i - sweepStep)) / static_cast<float>(count) + 0.4f * sparkle;
        drawSprite(chainRight, chainUp, 250, opacity);
        glPopMatrix();
    }

    glEnable(GL_ALPHA_TEST);
    glDepthMask(GL_TRUE);
    glEnable(GL_LIGHTING);
    // Culling goes off with the back faces still selected: leaving the front faces selected turned every
    // body drawn after the arcs inside out.
    glDisable(GL_CULL_FACE);
    glPopMatrix();
}
