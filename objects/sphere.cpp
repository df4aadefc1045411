#include "objects/sphere.h"

#include "base/viewport.h"
#include "data/texture_upload.h"
#include "math/matrix4.h"
#include "math/random.h"
#include "objects/mesh_file.h"
#include "objects/planet_shadow.h"
#include "objects/shared_meshes.h"
#include "objects/show.h"
#include "objects/sunlight.h"
#include "objects/view_culling.h"
#include "objects/wire_sphere.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The radius of the far, eccentric orbit, stretched by half along x and raised 0.2 units per unit of x.
constexpr float farOrbitRadius = 412000;

void setFrontMaterial(bool specular) {
    const float shiny[4] = {1.0f, 1.0f, 0.8f, 1.0f};
    const float dull[4] = {0, 0, 0, 0};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular ? shiny : dull);
    glMaterialf(GL_FRONT, GL_SHININESS, specular ? 15.6f : 12.6f);
}

Vec3 rotated(Vec3 v, Vec3 axis, float angleDegrees) {
    rotateAboutAxis(v, axis, angleDegrees);
    return v;
}

// Whether the bound texture, wrapped round a sky seen through a frustum ±fov high at distance 1, comes out at
// least skyMagnification times the size of its texels in a window `windowHeight` pixels high, at the centre
// of the view, where a sphere's picture is smallest on the screen. Towards the poles the picture is squeezed
// along the latitudes; a mipmap level chosen by that squeeze blurs the stars along the meridians into
// streaks pointing at the pole. The stars are painted as many texels wide there as the squeeze takes away,
// so the first level alone keeps them round, and it stays sharp down to half size.
constexpr float skyMagnification = 0.5f;

bool skyMagnified(int windowHeight, float fov, float tiling) {
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    constexpr float pi = std::numbers::pi_v<float>;
    const float pixelsPerRadian = static_cast<float>(windowHeight) / (2 * fov);
    const float texelsPerRadian =
        std::max(static_cast<float>(width) / (2 * pi), static_cast<float>(height) / pi) * tiling;
    return width > 0 && pixelsPerRadian >= skyMagnification * texelsPerRadian;
}

} // namespace

Sphere::Sphere() {
    position = {0, 0, 0};
    flash.u = randomFraction();
    flash.v = randomFraction();
}

BudgetNeed Sphere::budgetNeed(const Show& show) const {
    // The wire build-up draws the sphere file's faces itself; every other look draws a list.
    const std::uint64_t triangles =
        look.wireBuildUp ? show.wireSphere.faces.size() : compiledTriangleCount(displayList);
    return SceneObject::budgetNeed(show).add(BudgetItem::triangles, triangles);
}

void Sphere::update(const Show& show, double dt) {
    spinAngle += spinSpeed * static_cast<float>(dt);
    if (spinAngle > 360)
        spinAngle -= 360;

    // A period of 0 would make the angle 0 × infinity, which is not a number and would lose the sphere.
    float orbitAngle = period != 0 ? static_cast<float>(5000.0 / period * show.worldTime) : 0;
    if (orbitAngle > 360)
        orbitAngle -= 360;

    if (moon) {
        moonAngle = moonPhase + static_cast<float>(show.worldTime) * moonSpeed;
        position = rotated(homePosition, rotationAxis, moonAngle);
        spinAngle = moonAngle; // a moon keeps one face to its planet
    }

    if (!look.selfLit && orbit.aroundSun) {
        if (orbit.eccentric) {
            const float a = orbitAngle * 6.2831855f / 360;
            const float x = std::cos(a) * farOrbitRadius * 1.5f;
            position = {x, 0.2f * x, std::sin(a) * farOrbitRadius};
        } else {
            position = rotated(homePosition, {0, 1, 0}, orbitAngle);
        }
    }

    // Satellites circle their parent, relative to it; draw adds the parent's position. Without a parent
    // there is nothing to circle, and the sphere stays where the steps above put it.
    if (orbit.aroundParent && parent) {
        if (orbit.axisFromSun) {
            // The orbit's axis is the line from the Sun to the parent; its radius is the script's x.
            const Vec3 start = normalize(cross({0, 1, 0}, parent->position)) * homePosition.x;
            position = rotated(start, parent->position, spinAngle);
        } else {
            position = rotated(homePosition, rotationAxis, spinAngle);
        }
    }

    advanceFlash(static_cast<float>(dt));
}

// Every sphere runs the flash cycle, flashing or not, so the random sequence advances the same whichever
// spheres show it.
void Sphere::advanceFlash(float dt) {
    flash.timer += dt;
    if (flash.timer <= flash.period)
        return;
    flash.shining = !flash.shining;
    flash.timer -= flash.period;
    flash.period = 0.5f;
    if (flash.random) {
        const float f = randomFraction();
        flash.timer = 0;
        flash.period = flash.shining ? 0.4f + 0.4f * f : 0.1f + 0.1f * f;
    }
    if (flash.shining) {
        flash.u = randomFraction();
        flash.v = randomFraction();
        flash.angle = 180 * randomFraction();
    }
}

// The lists whose every vertex lies within the unit sphere; the sky is not among them, since it is drawn
// around the eye in a frustum of its own, nor a mesh given with "list", which may reach past the radius.
bool Sphere::boundedByUnitSphere(const Show& show) const {
    return !look.sky && (displayList == show.meshes.sphere || displayList == show.meshes.atmosphere);
}

void Sphere::draw(const Show& show) {
    const Camera& camera = show.camera;
    glPushMatrix();
    // A sphere round a parent it does not circle (a planet's rings) lies in the parent's shadow.
    const auto* shadowCaster = orbit.aroundParent ? nullptr : dynamic_cast<const Sphere*>(parent);
    const Vec3 casterEyeCentre = shadowCaster ? eyeSpacePoint(shadowCaster->worldPosition()) : Vec3{};
    if (look.sky) {
        // The sky stands around the viewer, behind everything, in a frustum near enough for its small mesh.
        position = camera.eye;
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        // The window's shape, as the scene's projection takes it, so the sky is not stretched on wide
        // screens.
        const double halfWidth = fov * viewport().aspect();
        glFrustum(-halfWidth, halfWidth, -fov, fov, 1.0, 1000.0);
        glMatrixMode(GL_MODELVIEW);
    }
    if (look.selfLit)
        glDisable(GL_LIGHTING);
    if (orbit.aroundParent && parent)
        position = position + parent->position;
    glTranslatef(position.x, position.y, position.z);
    // A flash of its own light (lightning) is seen only where its planet is in the dark.
    const bool glowsOnNightSide = flash.enabled && look.selfLit;
    if (glowsOnNightSide)
        beginNightSideGlow();
    // A body shining with its own light darkens towards its rim, as a star does.
    const bool darkensTowardsItsRim = look.selfLit && !flash.enabled && !look.depthOnly && !look.sky;
    if (darkensTowardsItsRim)
        beginLimbDarkening();

    if (!look.atmosphere) {
        glRotatef(orientAngle, orientAxis.x, orientAxis.y, orientAxis.z);
        glRotatef(spinAngle + detiling, rotationAxis.x, rotationAxis.y, rotationAxis.z);
        // The texture turns twice as fast as the body, so the surface seems to drift over it.
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glTranslatef(detiling / 360 + (2 * spinAngle / 360) * tiling, 0, 0);
        glMatrixMode(GL_MODELVIEW);
    }
    if (textured) {
        glBindTexture(GL_TEXTURE_2D, textureId);
        if (!look.sky)
            filterAlongSqueezedFootprints();
    }
    // The sky is drawn from its first level unless it is shrunk to less than half (see skyMagnified). Without
    // mipmaps the rasteriser also skips choosing a level at every pixel of the full-screen sky: about a tenth
    // of a 1920 × 1080 frame in software.
    const bool skyWithoutMipmaps = look.sky && textured && skyMagnified(viewport().height, fov, tiling);
    if (skyWithoutMipmaps)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    // The colour sets the lit material in both looks. Without it a translucent sphere under lighting would
    // lose its alpha and its list's own per-vertex alpha (the atmosphere's fade towards the rim, which
    // otherwise ends in a hard edge), and would shine with whatever material the object before it left.
    glEnable(GL_COLOR_MATERIAL);
    if (alpha < 1) {
        glColor4f(1, 1, 1, alpha);
        if (!look.selfLit)
            glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    } else {
        glDisable(GL_BLEND);
        glColor3f(1, 1, 1);
    }
    glEnable(GL_CULL_FACE);
    glCullFace(look.sky ? GL_FRONT : GL_BACK); // the sky is seen from inside
    if (look.specular)
        glDisable(GL_COLOR_MATERIAL);
    setFrontMaterial(look.specular);

    if (tga) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    }
    if (look.atmosphere) {
        // Turn the shell's x axis onto the line of sight: its alpha ramp is opaque there and clear at the
        // rim.
        glEnable(GL_BLEND);
        const Vec3 d = normalize(position - camera.position);
        const Vec3 r = normalize(cross(d, camera.up));
        const Vec3 u = normalize(cross(d, r));
        glMultMatrixf(basisMatrix(d, r, u).m.data());
        glDepthMask(GL_FALSE);
    }
    if (flash.enabled)
        setUpFlashDrawing();
    // A wire sphere is lit like any body, while it builds itself and after.
    if (look.wireBuildUp) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        if (show.worldTime > 25) {
            glColor4f(1, 1, 1, 1);
            glDisable(GL_BLEND);
        }
    }
    glScalef(radius, radius, radius);
    if (orbit.aroundParent) {
        // A moon with a picture of its own wears it, tinted by its colour; without one it is its colour.
        if (!textured)
            glDisable(GL_TEXTURE_2D);
        glColor4f(color.x, color.y, color.z, 1);
    }
    if (look.depthOnly) {
        glEnable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glColor4f(0, 0, 0, 0);
    }
    if (look.noDepthWrites)
        glDepthMask(GL_FALSE);
    glMatrixMode(GL_TEXTURE);
    glScalef(tiling, tiling, 1);
    glMatrixMode(GL_MODELVIEW);

    if (look.wireBuildUp && show.worldTime <= 25)
        drawWireBuildUp(show);
    else if (!boundedByUnitSphere(show) || !unitSphereOutsideView())
        glCallList(displayList);
    if (shadowCaster) {
        if (shadowDiscTexture == 0)
            shadowDiscTexture = makeShadowDiscTexture();
        darkenInShadow(displayList, casterEyeCentre, shadowCaster->radius, shadowDiscTexture);
    }
    if (glowsOnNightSide)
        endNightSideGlow();
    if (darkensTowardsItsRim)
        endLimbDarkening();

    if (skyWithoutMipmaps)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    if (look.noDepthWrites)
        glDepthMask(GL_TRUE);
    if (look.depthOnly) {
        glEnable(GL_LIGHTING);
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
    }
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_BLEND);
    if (orbit.aroundParent)
        glEnable(GL_TEXTURE_2D);
    if (look.sky) {
        // Leaves the sky at the camera's current point; the next draw moves it to the eye again.
        position = camera.position;
        glEnable(GL_LIGHTING);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_DEPTH_TEST);
        glCullFace(GL_BACK);
    }

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHTING);
    if (look.atmosphere || flash.enabled)
        glDepthMask(GL_TRUE);
    if (flash.enabled)
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_CULL_FACE);
    glPopMatrix();
}

// Fades the flash in while it is on and out while it is off (random flashes jump to a random strength
// instead), and moves the texture to the flash's place.
void Sphere::setUpFlashDrawing() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, tga ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE);
    float strength = flash.shining ? flash.timer / flash.period : 1 - flash.timer / flash.period;
    if (flash.random)
        strength = flash.shining ? 0.3f + 0.7f * randomFraction() : 0;
    glColor4f(1, 1, 1, strength);
    glMatrixMode(GL_TEXTURE);
    glTranslatef(flash.u, flash.v, 0);
    if (flash.random)
        glRotatef(flash.angle, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
}
