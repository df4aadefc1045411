#include "objects/wire_sphere.h"

#include "objects/sphere.h"
#include "objects/world_time.h"

#include <GL/gl.h>

#include <cmath>

MeshData wireSphereData;

bool loadWireSphereData() {
    return readMeshFile("meshes\\sphere.dat", wireSphereData);
}

// A sphere appearing over 25 seconds of world time: first as a flat-coloured shell; from 5 seconds on, a
// glowing plane sweeps down through it from the top, and the textured surface shows above the plane,
// brightest far from it; the plane narrows away after 20 seconds.
void Sphere::drawWireBuildUp() {
    const float c = static_cast<float>(worldTime);
    float planeHeight = -1;
    float planeWidth = 1;
    if (c < 10) {
        planeHeight = 1;
        planeWidth = (c - 5) / 5;
    } else if (c < 20) {
        planeHeight = 1 - 2 * (c - 10) / 10;
    } else {
        planeWidth = 1 - (c - 20) / 5;
    }

    // The shell: untextured, seen through everything, with a fine texture scale left for the lines.
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glColor4f(color.x, color.y, color.z, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glScalef(40, 40, 1);
    glMatrixMode(GL_MODELVIEW);
    glCallList(displayList);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    if (c < 5)
        return;

    // The surface above the plane, fading in with the distance from it.
    glBindTexture(GL_TEXTURE_2D, textureId);
    glBegin(GL_TRIANGLES);
    for (const MeshFace& face : wireSphereData.faces) {
        for (int corner = 0; corner < 3; ++corner) {
            const Vec3 vertex = wireSphereData.vertices[face.vertices[corner]];
            const MeshTexCoord uv = wireSphereData.texCoords[face.texCoords[corner]];
            const Vec3 normal = face.normals[corner];
            alpha = vertex.z > planeHeight ? std::fabs((planeHeight - vertex.z) * 4) : 0;
            glColor4f(1, 1, 1, alpha);
            glNormal3f(normal.x, normal.y, normal.z);
            glTexCoord2f(uv.u, uv.v);
            glVertex3f(vertex.x, vertex.y, vertex.z);
        }
    }
    glEnd();

    // The plane itself, a faint blue square held still against the sphere's spin.
    glDepthMask(GL_FALSE);
    glDisable(GL_TEXTURE_2D);
    glColor4f(0.4f, 0.5f, 0.8f, 0.2f);
    glDisable(GL_CULL_FACE);
    glRotatef(-spinAngle, 0, 0, 1);
    const float x = 1.5f * planeWidth;
    glBegin(GL_TRIANGLE_STRIP);
    glVertex3f(-x, -1.5f, planeHeight);
    glVertex3f(-x, 1.5f, planeHeight);
    glVertex3f(x, -1.5f, planeHeight);
    glVertex3f(x, 1.5f, planeHeight);
    glEnd();
    glEnable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
}
