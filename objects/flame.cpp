#include "objects/flame.h"

#include "objects/object_script_reader.h"
#include "objects/script_scan.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr float fullTurn = 6.2831855f;

// Scripts give the ring's size as an offset from this radius.
constexpr float baseRingRadius = 2000;

void colorVertex(Vec3 color, float alpha, Vec3 vertex) {
    glColor4f(color.x, color.y, color.z, alpha);
    glVertex3f(vertex.x, vertex.y, vertex.z);
}

} // namespace

Vec3 Flame::ellipsePoint(int i, float radius) const {
    const float theta = fullTurn * static_cast<float>(i) / ringSegments;
    const float cosine = std::cos(theta);
    const float sine = std::sin(theta);
    // Every band edge keeps the height of its ring point, so the tilt is taken from the ring line itself.
    const float ringX = ringCentre.x + ringRadius * xStretch * cosine;
    return {ringCentre.x + radius * xStretch * cosine, ringCentre.y + slope * ringX,
            ringCentre.z + radius * sine};
}

Vec3 Flame::ringPoint(int i) const {
    return ellipsePoint(i, ringRadius);
}

Vec3 Flame::bandEdge(Band band, int i) const {
    switch (band) {
    case Band::upper:
        return ringPoint(i) + Vec3{0, glowWidth, 0};
    case Band::lower:
        return ringPoint(i) - Vec3{0, glowWidth, 0};
    case Band::inner:
        return ellipsePoint(i, ringRadius - glowWidth);
    case Band::outer:
        return ellipsePoint(i, ringRadius + glowWidth);
    }
    return ringPoint(i);
}

void Flame::draw(Camera&) {
    glColor4f(1, 1, 1, 1);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    // The glow lies over what is drawn later without hiding it; the depth test still hides it behind
    // solid things drawn before. Blending stays as the scene has it: additive.
    glDepthMask(GL_FALSE);

    // The four bands run on from one into the next in a single strip.
    glBegin(GL_TRIANGLE_STRIP);
    for (Band band : {Band::upper, Band::lower, Band::inner, Band::outer}) {
        for (int i = 0; i <= ringSegments; ++i) {
            colorVertex(colorFrom, 1, ringPoint(i));
            colorVertex(colorTo, 0, bandEdge(band, i));
        }
    }
    glEnd();

    // The line itself is opaque.
    glDisable(GL_BLEND);
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i <= ringSegments; ++i)
        colorVertex(colorFrom, 1, ringPoint(i));
    glEnd();

    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
}

void Flame::update(double) {}

std::unique_ptr<SceneObject> parseFlame(ScriptReader& script, const ObjectList& list) {
    auto flame = std::make_unique<Flame>();
    if (!readBlockBegin(script))
        return nullptr;
    Flame& f = *flame;
    const BlockKeyword keywords[] = {
        textureKeyword(f),
        {"size",
         [&f](ScriptReader& s) {
             float size = 0;
             if (scanLine(s.line(), "size %f", size) == 1)
                 f.ringRadius = size + baseRingRadius;
         }},
        floatKeyword("angle", f.slope),
        floatKeyword("ell", f.xStretch),
        floatKeyword("offset", f.glowWidth),
        vectorKeyword("orient", f.ringCentre),
        vectorKeyword("colorfrom", f.colorFrom),
        vectorKeyword("colorto", f.colorTo),
        parentKeyword(f, list),
    };
    if (!readBlockBody(script, keywords))
        return nullptr;
    return flame;
}
