#include "objects/planet_shadow.h"

#include "objects/sunlight.h"

#include <GL/gl.h>
#include <GL/glext.h> // GL_CLAMP_TO_EDGE, which Windows' OpenGL 1.1 header lacks

#include <algorithm>
#include <cmath>
#include <vector>

GLuint makeShadowDiscTexture() {
    // Luminance 0 throughout; the alpha is the shadow's darkness: 0.9 inside the disc (the rings keep a
    // trace of the light scattered round the planet) and down to nothing over the outer eighth of the radius.
    constexpr int size = 64;
    constexpr float darkness = 0.9f;
    std::vector<GLubyte> texels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / size * 2 - 1;
            const float v = (static_cast<float>(y) + 0.5f) / size * 2 - 1;
            const float rim = std::clamp((1 - std::sqrt(u * u + v * v)) * 8, 0.0f, 1.0f);
            texels.insert(texels.end(), {0, static_cast<GLubyte>(std::lround(255 * darkness * rim))});
        }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, size, size, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE,
                 texels.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return texture;
}

namespace {

// Eye-linear texture coordinates taking a point to where it falls on the disc texture when seen from the Sun:
// the caster's centre at (0.5, 0.5), its rim on the texture's inscribed circle.
void projectAlongSunlight(Vec3 centre, float radius, Vec3 towardsSun) {
    const Vec3 helper = std::fabs(towardsSun.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    const Vec3 across1 = normalize(cross(towardsSun, helper));
    const Vec3 across2 = cross(towardsSun, across1);
    const float scale = 1 / (2 * radius);
    const float sPlane[4] = {across1.x * scale, across1.y * scale, across1.z * scale,
                             0.5f - dot(across1, centre) * scale};
    const float tPlane[4] = {across2.x * scale, across2.y * scale, across2.z * scale,
                             0.5f - dot(across2, centre) * scale};
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    glTexGenfv(GL_S, GL_EYE_PLANE, sPlane);
    glTexGenfv(GL_T, GL_EYE_PLANE, tPlane);
}

} // namespace

void darkenInShadow(GLuint displayList, Vec3 casterEyeCentre, float casterRadius, GLuint discTexture) {
    const Vec3 towardsSun = eyeSpaceSunDirection(casterEyeCentre);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT |
                 GL_POLYGON_BIT);
    // Planes given under the identity are taken in eye space as they stand.
    glPushMatrix();
    glLoadIdentity();
    projectAlongSunlight(casterEyeCentre, casterRadius, towardsSun);
    const double awayFromSun[4] = {-towardsSun.x, -towardsSun.y, -towardsSun.z,
                                   dot(towardsSun, casterEyeCentre)};
    glClipPlane(GL_CLIP_PLANE0, awayFromSun);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);

    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_CLIP_PLANE0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, discTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_ALPHA_TEST);
    // The same faces again, pulled a hair towards the viewer so they pass wherever they were drawn (also
    // along the clip plane's cut, where new corners are made), and write nothing new.
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1, -1);
    glColor4f(1, 1, 1, 1);
    glCallList(displayList);
    glPopAttrib();
}
