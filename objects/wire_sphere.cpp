#include "objects/wire_sphere.h"

#include "objects/show.h"
#include "objects/sphere.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

bool loadWireSphereData(Show& show) {
    return readMeshFile(show, "meshes\\sphere.dat", show.wireSphere);
}

namespace {

// Two unit vectors at right angles to each other and to the unit vector `axis`.
std::pair<Vec3, Vec3> basisAcross(Vec3 axis) {
    const Vec3 helper = std::fabs(axis.x) < 0.9f ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    const Vec3 first = normalize(cross(axis, helper));
    return {first, cross(axis, first)};
}

// The glow of the scanning plane where it cuts through a unit sphere at `height` along `axis`: a collar
// brightest at the sphere's surface and fading outwards. The part inside the sphere is never drawn; the
// body's front hides it from every point outside anyway. Added to what is behind it, so it brightens the
// sky and the body alike and never darkens them.
void drawScanningPlane(Vec3 axis, float height, float strength) {
    constexpr int steps = 48;
    constexpr float collar = 0.35f;
    const auto [across1, across2] = basisAcross(axis);
    const float cutRadius = std::sqrt(std::max(0.0f, 1 - height * height));
    const Vec3 centre = axis * height;
    glBegin(GL_TRIANGLE_STRIP);
    for (int step = 0; step <= steps; ++step) {
        const float angle = 2 * std::numbers::pi_v<float> * static_cast<float>(step) / steps;
        const Vec3 out = across1 * std::cos(angle) + across2 * std::sin(angle);
        const Vec3 inner = centre + out * cutRadius;
        const Vec3 outer = centre + out * (cutRadius + collar);
        glColor4f(0.5f, 0.75f, 1.0f, strength);
        glVertex3f(inner.x, inner.y, inner.z);
        glColor4f(0.5f, 0.75f, 1.0f, 0);
        glVertex3f(outer.x, outer.y, outer.z);
    }
    glEnd();
}

} // namespace

// A sphere building itself over 25 seconds of world time. At first it is a bare shell in its own colour,
// lit like any body. From 5 seconds on a scanning plane sweeps along the spin axis, from one pole to the
// other between 10 and 20 seconds, and leaves the finished, textured surface behind it, faint next to the
// plane and solid a little way past it; the plane's glow grows in over the first 5 seconds of the sweep
// and fades over the last 5. The plane stands across the spin axis, so the sphere turns under it as a part
// turns under a printing head. Every pass is depth-tested and the shell writes depth, so the sphere hides
// what lies behind it at every stage, and a body in front of it hides it.
void Sphere::drawWireBuildUp(const Show& show) {
    const float c = static_cast<float>(show.worldTime);
    float planeHeight = -1;
    float planeStrength = 1;
    if (c < 10) {
        planeHeight = 1;
        planeStrength = std::max(0.0f, (c - 5) / 5);
    } else if (c < 20) {
        planeHeight = 1 - 2 * (c - 10) / 10;
    } else {
        planeStrength = std::max(0.0f, 1 - (c - 20) / 5);
    }
    const Vec3 axis = normalize(rotationAxis);

    // The shell, opaque and untextured, pushed back a little in depth so the surface drawn over it at the
    // same place wins the depth test.
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glColor4f(color.x, color.y, color.z, 1);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1, 1);
    glCallList(displayList);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    if (c < 5)
        return;

    // The finished surface on the far side of the plane, fading in with the distance from it.
    glBindTexture(GL_TEXTURE_2D, textureId);
    glBegin(GL_TRIANGLES);
    for (const MeshFace& face : show.wireSphere.faces) {
        for (int corner = 0; corner < 3; ++corner) {
            const Vec3 vertex = show.wireSphere.vertices[face.vertices[corner]];
            const MeshTexCoord uv = show.wireSphere.texCoords[face.texCoords[corner]];
            const Vec3 normal = face.normals[corner];
            const float height = dot(vertex, axis);
            glColor4f(1, 1, 1, height > planeHeight ? (height - planeHeight) * 4 : 0);
            glNormal3f(normal.x, normal.y, normal.z);
            glTexCoord2f(uv.u, uv.v);
            glVertex3f(vertex.x, vertex.y, vertex.z);
        }
    }
    glEnd();

    glDepthMask(GL_FALSE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    drawScanningPlane(axis, planeHeight, planeStrength);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
}
