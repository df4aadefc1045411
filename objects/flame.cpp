#include "objects/flame.h"

#include "objects/common_keywords.h"
#include "objects/script_scan.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float fullTurn = 6.2831855f;

// Scripts give the ring's size as an offset from this radius.
constexpr float baseRingRadius = 2000;

// Steps around the rim of each glow disc.
constexpr int discSegments = 16;

void colorVertex(Vec3 color, float alpha, Vec3 vertex) {
    glColor4f(color.x, color.y, color.z, alpha);
    glVertex3f(vertex.x, vertex.y, vertex.z);
}

} // namespace

Vec3 Flame::ringPoint(int i) const {
    const float theta = fullTurn * static_cast<float>(i) / ringSegments;
    const float x = ringCentre.x + ringRadius * xStretch * std::cos(theta);
    return {x, ringCentre.y + slope * x, ringCentre.z + ringRadius * std::sin(theta)};
}

float Flame::discOpacity(int i, Vec3 eye) const {
    if (glowWidth <= 0)
        return 0;
    // A disc's opacity falls evenly from its centre to its rim, so discs a step apart along the line add up,
    // at the line, to their opacity × glowWidth / step: this opacity makes the line fully opaque. The step is
    // measured as the viewer sees it, across the line of sight, so that where the ring runs towards the
    // viewer its discs, crowding together, do not pile up into a blinding spot. Samples farther apart than
    // the glow is wide cannot close the line, and each is simply opaque at its centre.
    const Vec3 sight = normalize(ringPoint(i) - eye);
    const Vec3 step = ringPoint(i + 1) - ringPoint(i);
    const float seenStep = length(step - dot(step, sight) * sight);
    return std::min(seenStep / glowWidth, 1.0f);
}

void Flame::draw(const Show&) {
    // The viewer's right and up, and where it stands, from the view the camera left in the model-view
    // matrix: the discs face the viewer. The matrix turns without scaling, so its inverse is its transpose.
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const Vec3 viewerRight{m[0], m[4], m[8]};
    const Vec3 up{m[1], m[5], m[9]};
    const Vec3 back{m[2], m[6], m[10]};
    const Vec3 eye = -(m[12] * viewerRight + m[13] * up + m[14] * back);

    glColor4f(1, 1, 1, 1);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    // The glow lies over what is drawn later without hiding it; the depth test still hides it behind
    // solid things drawn before. Blending stays as the scene has it: additive.
    glDepthMask(GL_FALSE);

    for (int i = 0; i < ringSegments; ++i) {
        const Vec3 centre = ringPoint(i);
        const float opacity = discOpacity(i, eye);
        // The line's colour holds over the inner half of the disc, so that the discs sum to it at the line,
        // and turns to the far colour over the outer half, as the opacity runs out.
        const auto rim = [&](int k, float reach) {
            const float phi = fullTurn * static_cast<float>(k) / discSegments;
            return centre + (reach * glowWidth) * (std::cos(phi) * viewerRight + std::sin(phi) * up);
        };
        glBegin(GL_TRIANGLE_FAN);
        colorVertex(colorFrom, opacity, centre);
        for (int k = 0; k <= discSegments; ++k)
            colorVertex(colorFrom, opacity / 2, rim(k, 0.5f));
        glEnd();
        glBegin(GL_TRIANGLE_STRIP);
        for (int k = 0; k <= discSegments; ++k) {
            colorVertex(colorFrom, opacity / 2, rim(k, 0.5f));
            colorVertex(colorTo, 0, rim(k, 1));
        }
        glEnd();
    }

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
}

void Flame::update(const Show&, double) {}

namespace {

std::vector<BlockKeyword> flameKeywords(Flame& f, const ObjectList& list) {
    return {
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
        vectorKeyword("colorfrom", f.colorFrom, NumberRange{0, 1}),
        vectorKeyword("colorto", f.colorTo, NumberRange{0, 1}),
        parentKeyword(f, list),
    };
}

} // namespace

std::vector<std::string_view> flameBlockKeywords() {
    Flame flame;
    return keywordPrefixes(flameKeywords(flame, {}));
}

std::unique_ptr<SceneObject> parseFlame(ScriptReader& script, const ObjectList& list) {
    auto flame = std::make_unique<Flame>();
    if (!readBlockBegin(script))
        return nullptr;
    if (!readBlockBody(script, flameKeywords(*flame, list)))
        return nullptr;
    return flame;
}
