#include "objects/billboard.h"

#include "base/viewport.h"
#include "math/random.h"
#include "objects/common_keywords.h"
#include "objects/script_scan.h"
#include "objects/show.h"

#include <GL/gl.h>

#include <string>

namespace {

void pushEnvProjection(float fov) {
    // As wide as the window's shape asks, like the main projection, so the sprite stays square on wide
    // screens; 4:3 windows see what they always saw.
    const double halfWidth = fov * viewport().aspect();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glFrustum(-halfWidth, halfWidth, -fov, fov, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
}

void loadTextureTiling(float tiling) {
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(tiling, tiling, 1);
    glMatrixMode(GL_MODELVIEW);
}

void vertex(Vec3 v) {
    glVertex3f(v.x, v.y, v.z);
}

// "PREFIX V(%f %f %f)" made unit length: the square's axes must not scale it.
BlockKeyword directionKeyword(std::string_view prefix, Vec3& direction) {
    return {prefix, [pattern = std::string(prefix) + " V(%f %f %f)", &direction](ScriptReader& script) {
                scanLine(script.line(), pattern, direction.x, direction.y, direction.z);
                direction = normalize(direction);
            }};
}

} // namespace

Billboard::Billboard() : spinSpeed(60 * (1 - 2 * randomFraction())) {}

void Billboard::update(const Show&, double dt) {
    angle += spinSpeed * static_cast<float>(dt);
    if (angle > 360)
        angle -= 360;
    if (angle < 0)
        angle += 360;

    // Every billboard runs the timer; only flashing ones show it.
    flashTimer += static_cast<float>(dt);
    if (flashTimer > flashOff + flashOn)
        flashTimer -= flashOff + flashOn;
}

float Billboard::placeOnRim(const Camera& camera) {
    const Vec3 towardsViewer = camera.position - offset;
    const float k = oreolRadius / length(towardsViewer);
    position = offset + (k * oreolRadius) * normalize(towardsViewer);
    right = normalize(cross(towardsViewer, camera.up));
    up = normalize(cross(right, towardsViewer));
    return (1 - k * k) * oreolRadius + k * size;
}

void Billboard::takeViewerAxes() {
    // The camera's look-at left the view in the model-view matrix; its rows are the viewer's axes.
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    right = {m[0], m[4], m[8]};
    up = {m[1], m[5], m[9]};
}

void Billboard::takeSystemAxes(const Camera& camera) {
    if (orientOff) {
        up = {0, 1, 0};
        right = normalize(cross(up, parent->position));
        return;
    }
    // Away from the Sun at the origin, like a comet's tail. A card standing in one plane about that line is
    // a hairline from the side, so it turns about the line to face the viewer; only a viewer on the line
    // itself, who sees the tail end-on anyway, gets the plane the card would otherwise keep.
    up = normalize(parent->position);
    const Vec3 facing = cross(up, camera.position - position);
    right = normalize(length(facing) > 1e-3f * length(camera.position - position) ? facing
                                                                                  : cross({0, 1, 0}, up));
}

void Billboard::draw(const Show& show) {
    const Camera& camera = show.camera;
    // A viewer at the very centre of the halo's sphere sees no rim, so there is nothing to draw.
    if (oreol && length(camera.position - offset) == 0)
        return;

    float squareSize = size;
    glPushMatrix();
    if (env) {
        position = camera.eye + offset;
        pushEnvProjection(fov);
    }
    if (parent)
        position = parent->position + offset.y * normalize(camera.up);
    if (!orientOff)
        takeViewerAxes();
    if (oreol)
        squareSize = placeOnRim(camera);
    if (depth)
        glDisable(GL_DEPTH_TEST);
    if (sys && parent)
        takeSystemAxes(camera);

    glTranslatef(position.x, position.y, position.z);
    const Vec3 normal = cross(right, up);
    glRotatef(angle, normal.x, normal.y, normal.z);
    const Vec3 across = xy * right;
    const Vec3 corners[4] = {squareSize * (-across - up), squareSize * (across - up),
                             squareSize * (-across + up), squareSize * (across + up)};

    if (textured)
        glBindTexture(GL_TEXTURE_2D, textureId);
    glDisable(GL_LIGHTING);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // A halo keeps the depth test: the part of its square inside the rim lies within its sphere and is hidden
    // by the sphere's depth, so the glow shows only around the rim, never as a ring painted over the disc,
    // and a body passing in front hides it.
    glDepthMask(GL_FALSE);
    if (blend) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glAlphaFunc(GL_ALWAYS, 0);
    }
    // A glow over a parent flickers: a fresh draw every frame, blinking or not.
    if (parent)
        glColor4f(color.x, color.y, color.z, alpha + 0.3f * randomFraction());
    else
        glColor4f(1, 1, 1, alpha);

    loadTextureTiling(tiling);
    if (!hiddenByBlink()) {
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(0, 0);
        vertex(corners[0]);
        glTexCoord2f(1, 0);
        vertex(corners[1]);
        glTexCoord2f(0, 1);
        vertex(corners[2]);
        glTexCoord2f(1, 1);
        vertex(corners[3]);
        glEnd();
    }

    glDepthMask(GL_TRUE);
    glEnable(GL_LIGHTING);
    if (depth)
        glEnable(GL_DEPTH_TEST);
    if (blend) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glAlphaFunc(GL_ALWAYS, 0);
    }
    if (env) {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    glPopMatrix();
    loadTextureTiling(1);
}

namespace {

std::vector<BlockKeyword> billboardKeywords(Billboard& b, const ObjectList& list) {
    return {
        floatKeyword("size", b.size, NumberRange{0}),
        {"rotation",
         [&b](ScriptReader& s) {
             float spinPerFrame = 0; // scripts give the spin per 1/60-second frame
             if (scanLine(s.line(), "rotation %f %f", b.angle, spinPerFrame) == 2)
                 b.spinSpeed = spinPerFrame * 60;
         }},
        floatKeyword("tiling", b.tiling),
        parentKeyword(b, b.offset, list),
        floatKeyword("FOV", b.fov),
        floatKeyword("alpha", b.alpha, NumberRange{0, 1}),
        flagKeyword("orient off", b.orientOff),
        flagKeyword("blend", b.blend),
        flagKeyword("depth", b.depth),
        flagKeyword("sys", b.sys),
        {"env",
         [&b](ScriptReader& s) {
             b.env = true;
             scanLine(s.line(), "env V(%f %f %f)", b.offset.x, b.offset.y, b.offset.z);
         }},
        {"oreol",
         [&b](ScriptReader& s) {
             b.oreol = true;
             scanLine(s.line(), "oreol V(%f %f %f) %f", b.offset.x, b.offset.y, b.offset.z, b.oreolRadius);
         }},
        // The scripts have always closed this line with a parenthesis they never opened; it is optional.
        {"flash",
         [&b](ScriptReader& s) {
             b.flash = true;
             scanLine(s.line(), "flash %f %f %f)", b.flashTimer, b.flashOff, b.flashOn);
         }},
        textureKeyword(b),
        directionKeyword("up", b.up),
        directionKeyword("right", b.right),
        vectorKeyword("position", b.position),
        vectorKeyword("color", b.color, NumberRange{0, 1}),
        floatKeyword("xy", b.xy),
    };
}

} // namespace

std::vector<std::string_view> billboardBlockKeywords() {
    Billboard billboard;
    return keywordPrefixes(billboardKeywords(billboard, {}));
}

std::unique_ptr<SceneObject> parseBillboard(ScriptReader& script, const ObjectList& list) {
    auto billboard = std::make_unique<Billboard>();
    if (!readBlockBegin(script))
        return nullptr;
    if (!readBlockBody(script, billboardKeywords(*billboard, list)))
        return nullptr;
    return billboard;
}
