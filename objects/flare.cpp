#include "objects/flare.h"

#include "objects/screen_sprite.h"

#include "base/viewport.h"
#include "data/texture_registry.h"
#include "math/random.h"
#include "objects/common_keywords.h"
#include "objects/lens_effect.h"
#include "objects/script_scan.h"
#include "objects/show.h"
#include "overlay/flat_drawing.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <string>

namespace {

// Scripts give rates per 1/60-second frame.
constexpr float framesPerSecond = 60;

float windowWidth() {
    return static_cast<float>(viewport().width);
}
float windowHeight() {
    return static_cast<float>(viewport().height);
}

// An env flare's own narrow frustum, ±envFov high at distance 1 and as wide as the window's shape asks, as
// the scene's projection is, so wide windows show env flares where the scene puts them.
void loadEnvironmentFrustum(float envFov) {
    const double aspect = viewport().aspect();
    glLoadIdentity();
    glFrustum(-aspect * envFov, aspect * envFov, -envFov, envFov, 1, 1000);
}

} // namespace

// Whether the anchor, projected to `window`, is seen: nothing drawn earlier in the frame lies in front of it.
// An env flare hangs at infinity, so only a pixel still holding the cleared far value shows it. A pixel
// outside the window cannot be read and counts as hidden, as does an anchor behind the viewer.
bool Flare::anchorVisible(const Camera& camera, const double window[3], const int viewport[4]) const {
    const Vec3 direction = isEnvironment ? offset : position - camera.position;
    if (dot(normalize(direction), camera.forward) < 0)
        return false;
    const bool inside = window[0] >= viewport[0] && window[0] < viewport[0] + viewport[2] &&
                        window[1] >= viewport[1] && window[1] < viewport[1] + viewport[3];
    if (!inside)
        return false;
    float depth = 0;
    glReadPixels(static_cast<GLint>(window[0]), static_cast<GLint>(window[1]), 1, 1, GL_DEPTH_COMPONENT,
                 GL_FLOAT, &depth);
    const double anchorDepth = isEnvironment ? 1.0 : window[2];
    return depth >= anchorDepth;
}

// With focus the sprite fades as the view turns away from the offset direction, vanishing at the threshold.
float Flare::focusFactor(const Camera& camera) const {
    if (!hasFocus)
        return 1;
    const float alignment = dot(normalize(offset), camera.forward);
    // A threshold of 1 leaves no range to fade over: only a view straight along the offset shows the sprite.
    if (focusThreshold == 1)
        return alignment >= 1 ? 1.0f : 0.0f;
    return std::max((alignment - focusThreshold) / (1 - focusThreshold), 0.0f);
}

void Flare::drawSprite(const Camera& camera, Vec3 pixel) const {
    enter2D();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1, 1, 1, focusFactor(camera) * opacity * lumin);
    glTranslatef(pixel.x, pixel.y, 0);
    glRotatef(spinAngle, 0, 0, 1);
    if (hasOrient) {
        const Vec3 centre{windowWidth() / 2, windowHeight() / 2, 0};
        glRotatef(90 * dot(normalize(pixel), normalize(orientVector - centre)), 0, 0, 1);
    }
    const float halfHeight = spriteSize * pixelsPerDesignPixel(windowHeight());
    drawScreenSprite(halfHeight * aspect, halfHeight);
    leave2D();
}

void Flare::draw(const Show& show) {
    const Camera& camera = show.camera;
    glPushMatrix();
    if (textured)
        glBindTexture(GL_TEXTURE_2D, textureId);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    if (isEnvironment) {
        position = camera.eye + offset;
        loadEnvironmentFrustum(envFov);
    }
    if (parent) {
        const Vec3 side = parent->right;
        const Vec3 ahead = parent->look;
        const Vec3 normal = cross(side, ahead);
        position = parent->position + offset.x * side + offset.y * normal + offset.z * ahead;
    }
    glMatrixMode(GL_MODELVIEW);

    double modelView[16];
    double projection[16];
    int viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    double window[3] = {-1, -1, 0}; // stays outside the window when the point cannot be projected
    gluProject(position.x, position.y, position.z, modelView, projection, viewport, &window[0], &window[1],
               &window[2]);
    visible = anchorVisible(camera, window, viewport);
    // The starting opacity is for an anchor in sight: one hidden at its first look starts dark instead of
    // glaring through whatever covers it until the fade catches up.
    if (!lookedFor && !visible)
        opacity = 0;
    lookedFor = true;

    if (opacity > 0) {
        const Vec3 pixel{static_cast<float>(window[0]), static_cast<float>(window[1]), 0};
        drawSprite(camera, pixel);
        if (hasLensEffect)
            drawLensEffect(pixel, windowWidth(), windowHeight(), lensSize, lensTextures, streakLit,
                           hasOrient);
    }

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void Flare::update(const Show&, double dt) {
    const float step = static_cast<float>(dt);
    if (visible) {
        if (opacity < 1)
            opacity += fadeInRate * step;
        opacity = std::min(opacity, 1.0f);
    } else {
        if (opacity > 0)
            opacity -= fadeOutRate * step;
        opacity = std::max(opacity, 0.0f);
    }

    spinAngle += spinRate * step;
    if (spinAngle > 360)
        spinAngle -= 360;
    if (spinAngle < 0)
        spinAngle += 360;

    // Flicker: each cycle dims for a random part of flashAmount seconds, then brightens for another. The
    // brightening is not clamped here; the fade above clamps it on the next frame.
    flickerTimer += 6 * step;
    if (flickerTimer < flickerDimEnd)
        opacity -= 0.7f * step;
    else if (opacity > 0)
        opacity += 0.7f * step;
    if (flickerTimer > flickerCycleEnd) {
        const float dim = randomFraction() * flashAmount;
        const float brighten = randomFraction() * flashAmount;
        flickerCycleEnd = 6 * (brighten + dim);
        flickerDimEnd = 6 * dim;
        flickerTimer = 0;
    }
}

namespace {

// The four lines after "lenseffect": the ghosts' size, then the lens textures of slots 0, 1 and 2. They may
// be indented with tabs or spaces. A line starting with "end" closes the block early rather than being taken
// for a lens line, so a short lens section cannot swallow the next object of the script.
void readLensLines(ScriptReader& script, Flare& flare) {
    flare.hasLensEffect = true;
    if (!script.nextLine() || script.lineStartsWith("end"))
        return;
    scanLine(script.line(), "\tsize %f", flare.lensSize);
    for (std::size_t slot = 0; slot < flare.lensTextures.size(); ++slot) {
        if (!script.nextLine() || script.lineStartsWith("end"))
            return;
        std::string name;
        if (scanLine(script.line(), "\ttexture %s", ScanWord{name, scriptLineCapacity}) != 1)
            continue;
        remarkUnknownTexture(script, name);
        if (const TextureEntry* entry = findTexture(script.show().textures, name)) {
            flare.lensTextures[slot] = entry->texture;
            if (slot == 2)
                flare.streakLit = entry->lit;
        }
        if (name.ends_with("tga"))
            flare.tga = true;
    }
}

std::vector<BlockKeyword> flareKeywords(Flare& f, const ObjectList& list) {
    return {
        floatKeyword("size", f.spriteSize, NumberRange{0}),
        floatKeyword("flash", f.flashAmount),
        floatKeyword("lumin", f.lumin),
        {"focus",
         [&f](ScriptReader& s) {
             f.hasFocus = true;
             scanLine(s.line(), "focus %f", f.focusThreshold);
         }},
        parentKeyword(f, f.offset, list),
        floatKeyword("FOV", f.envFov),
        {"alpha",
         [&f](ScriptReader& s) {
             float start = 0, fadeIn = 0, fadeOut = 0;
             const int read = scanLine(s.line(), "alpha %f fade: %f %f", start, fadeIn, fadeOut);
             if (read >= 1)
                 f.opacity = start;
             if (read >= 2)
                 f.fadeInRate = framesPerSecond * fadeIn;
             if (read >= 3)
                 f.fadeOutRate = framesPerSecond * fadeOut;
         }},
        {"env",
         [&f](ScriptReader& s) {
             f.isEnvironment = true;
             scanLine(s.line(), "env V(%f %f %f)", f.offset.x, f.offset.y, f.offset.z);
         }},
        textureKeyword(f),
        vectorKeyword("position", f.position),
        {"lenseffect", [&f](ScriptReader& s) { readLensLines(s, f); }},
        {"rotation",
         [&f](ScriptReader& s) {
             float angle = 0, rate = 0;
             const int read = scanLine(s.line(), "rotation %f %f", angle, rate);
             if (read >= 1)
                 f.spinAngle = angle;
             if (read >= 2)
                 f.spinRate = framesPerSecond * rate;
         }},
        floatKeyword("xy", f.aspect),
        {"orient",
         [&f](ScriptReader& s) {
             f.hasOrient = true;
             scanLine(s.line(), "orient V(%f %f %f)", f.orientVector.x, f.orientVector.y, f.orientVector.z);
         }},
    };
}

} // namespace

std::vector<std::string_view> flareBlockKeywords() {
    Flare flare;
    return keywordPrefixes(flareKeywords(flare, {}));
}

std::unique_ptr<SceneObject> parseFlare(ScriptReader& script, const ObjectList& list) {
    auto flare = std::make_unique<Flare>();
    if (!readBlockBegin(script))
        return nullptr;
    if (!readBlockBody(script, flareKeywords(*flare, list)))
        return nullptr;
    return flare;
}
