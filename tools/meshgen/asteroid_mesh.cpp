#include "tools/meshgen/asteroid_mesh.h"

#include "tools/meshgen/sphere_mesh.h"

#include <cmath>

namespace {

// How far the surface stands out along the unit direction `p`: a few overlapping waves whose phases depend on
// the variant, so rocks differ without a random source.
float surfaceRadius(Vec3 p, int variant) {
    const float phase = 1.7f * static_cast<float>(variant);
    return 1 + 0.16f * std::sin(3 * p.x + phase) * std::sin(2 * p.y + 2 * phase) +
           0.09f * std::sin(5 * p.z + 3 * phase) + 0.05f * std::sin(7 * (p.x + p.y) + phase);
}

} // namespace

MeshData asteroidMesh(int variant) {
    MeshData mesh = unitSphereMesh(12, 24);
    for (Vec3& vertex : mesh.vertices) {
        vertex = surfaceRadius(vertex, variant) * vertex;
        vertex.x *= 1.4f; // rocks this small are rarely round
    }

    // Each vertex's normal is the sum of its faces' normals weighted by their areas (the length of the
    // unnormalised cross product), which follows the surface smoothly.
    std::vector<Vec3> vertexNormals(mesh.vertices.size(), Vec3{0, 0, 0});
    for (const MeshFace& face : mesh.faces) {
        const Vec3 a = mesh.vertices[face.vertices[0]];
        const Vec3 faceNormal =
            cross(mesh.vertices[face.vertices[1]] - a, mesh.vertices[face.vertices[2]] - a);
        for (std::uint32_t index : face.vertices)
            vertexNormals[index] = vertexNormals[index] + faceNormal;
    }
    for (MeshFace& face : mesh.faces) {
        for (int c = 0; c < 3; ++c)
            face.normals[c] = normalize(vertexNormals[face.vertices[c]]);
    }
    return mesh;
}
