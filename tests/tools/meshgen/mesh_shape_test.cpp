#include "tools/meshgen/asteroid_mesh.h"
#include "tools/meshgen/ring_mesh.h"
#include "tools/meshgen/sphere_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace {

Vec3 corner(const MeshData& mesh, const MeshFace& face, int c) {
    return mesh.vertices[face.vertices[c]];
}

Vec3 faceCross(const MeshData& mesh, const MeshFace& face) {
    const Vec3 a = corner(mesh, face, 0);
    return cross(corner(mesh, face, 1) - a, corner(mesh, face, 2) - a);
}

// A closed surface whose vertices are shared uses every edge once in each direction: a duplicated vertex
// along a seam or at a pole shows up as edges used only once, a flipped face as an edge used twice the same
// way.
void expectClosedAndConsistentlyWound(const MeshData& mesh) {
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> edges;
    for (const MeshFace& face : mesh.faces) {
        for (int c = 0; c < 3; ++c)
            ++edges[{face.vertices[c], face.vertices[(c + 1) % 3]}];
    }
    for (const auto& [edge, count] : edges) {
        ASSERT_EQ(count, 1) << edge.first << "-" << edge.second;
        ASSERT_EQ(edges.count({edge.second, edge.first}), 1u) << edge.first << "-" << edge.second;
    }
}

void expectUnitSphere(const MeshData& mesh, int slices) {
    expectClosedAndConsistentlyWound(mesh);
    float minU = 1, maxU = 0, minV = 1, maxV = 0;
    for (const MeshFace& face : mesh.faces) {
        const Vec3 centre = (corner(mesh, face, 0) + corner(mesh, face, 1) + corner(mesh, face, 2)) / 3;
        ASSERT_GT(dot(faceCross(mesh, face), centre), 0) << "faces must turn their fronts outwards";
        float faceMinU = 1, faceMaxU = 0;
        for (int c = 0; c < 3; ++c) {
            const Vec3 point = corner(mesh, face, c);
            ASSERT_NEAR(length(point), 1, 1e-6f);
            const Vec3 normal = face.normals[c];
            ASSERT_NEAR(length(normal), 1, 1e-6f);
            ASSERT_GT(dot(normal, point), 0.9999f) << "a sphere's normal is its point";
            const MeshTexCoord t = mesh.texCoords[face.texCoords[c]];
            faceMinU = std::min(faceMinU, t.u);
            faceMaxU = std::max(faceMaxU, t.u);
            minV = std::min(minV, t.v);
            maxV = std::max(maxV, t.v);
            // v is 1 at the +y pole and 0 at the -y pole.
            ASSERT_NEAR(t.v, std::acos(std::clamp(point.y, -1.f, 1.f)) / -3.14159265f + 1, 1e-5f);
        }
        ASSERT_LE(faceMaxU - faceMinU, 1.f / static_cast<float>(slices) + 1e-6f) << "a face spans the seam";
        // A pole triangle's picture is a wedge standing straight on its ring edge, not sheared to one side.
        for (int c = 0; c < 3; ++c) {
            if (std::abs(corner(mesh, face, c).y) == 1) {
                const float ringU = (mesh.texCoords[face.texCoords[(c + 1) % 3]].u +
                                     mesh.texCoords[face.texCoords[(c + 2) % 3]].u) /
                                    2;
                ASSERT_NEAR(mesh.texCoords[face.texCoords[c]].u, ringU, 1e-6f) << "a pole corner's u";
            }
        }
        minU = std::min(minU, faceMinU);
        maxU = std::max(maxU, faceMaxU);
    }
    EXPECT_EQ(minU, 0);
    EXPECT_EQ(maxU, 1);
    EXPECT_EQ(minV, 0);
    EXPECT_EQ(maxV, 1);
}

TEST(SphereMesh, ShowSpheresAreClosedUnitSpheresWithATextureSeam) {
    expectUnitSphere(unitSphereMesh(32, 64), 64);
    expectUnitSphere(unitSphereMesh(24, 48), 48);
    expectUnitSphere(unitSphereMesh(2, 3), 3);
}

TEST(SphereMesh, EveryTexturePointOfAFaceIsDrawnWhereTheSurfacePointSays) {
    // The sky is painted with the directions unitSphereSurfacePoint gives; each must be the very point of the
    // face the texture coordinate is drawn at, or its stars would come out of shape near the poles.
    const int stacks = 6;
    const int slices = 8;
    const MeshData mesh = unitSphereMesh(stacks, slices);
    const float weights[][3] = {
        {0.6f, 0.2f, 0.2f}, {0.1f, 0.1f, 0.8f}, {0.3f, 0.65f, 0.05f}, {0.02f, 0.49f, 0.49f}};
    for (const MeshFace& face : mesh.faces) {
        for (const auto& w : weights) {
            Vec3 point{0, 0, 0};
            float u = 0;
            float v = 0;
            for (int c = 0; c < 3; ++c) {
                point = point + w[c] * corner(mesh, face, c);
                u += w[c] * mesh.texCoords[face.texCoords[c]].u;
                v += w[c] * mesh.texCoords[face.texCoords[c]].v;
            }
            const Vec3 painted = unitSphereSurfacePoint(u, v, stacks, slices);
            ASSERT_LT(length(painted - point), 1e-5f) << "u " << u << " v " << v;
        }
    }
}

TEST(SphereMesh, TextureRunsFromPlusXTowardsMinusZ) {
    // A spin about +y moves the surface from +x towards −z; the texture offset added by the spin must move
    // the picture the same way.
    const MeshData mesh = unitSphereMesh(4, 4);
    for (const MeshFace& face : mesh.faces) {
        for (int c = 0; c < 3; ++c) {
            const Vec3 p = corner(mesh, face, c);
            const float u = mesh.texCoords[face.texCoords[c]].u;
            if (std::abs(p.y) < 0.99f && u > 0.2f && u < 0.3f) {
                EXPECT_LT(p.z / std::hypot(p.x, p.z), -0.99f);
            }
        }
    }
}

TEST(RingMesh, IsAFlatAnnulusSeenFromBothSidesWithUAcrossItsWidth) {
    const MeshData ring = ringMesh(1.25f, 2.5f, 64);
    int up = 0;
    int down = 0;
    for (const MeshFace& face : ring.faces) {
        const Vec3 normal = face.normals[0];
        ASSERT_EQ(std::abs(normal.y), 1);
        // The winding agrees with the stored normal, so culling keeps the face the normal says is in front.
        ASSERT_GT(dot(faceCross(ring, face), normal), 0);
        (normal.y > 0 ? up : down)++;
        for (int c = 0; c < 3; ++c) {
            const Vec3 p = corner(ring, face, c);
            EXPECT_EQ(p.y, 0);
            const float radius = std::hypot(p.x, p.z);
            const float u = ring.texCoords[face.texCoords[c]].u;
            EXPECT_NEAR(radius, u == 0 ? 1.25f : 2.5f, 1e-5f);
            EXPECT_TRUE(u == 0 || u == 1);
        }
    }
    EXPECT_EQ(up, 128);
    EXPECT_EQ(down, 128);
}

TEST(AsteroidMesh, RocksAreClosedLumpyAndDifferent) {
    const MeshData first = asteroidMesh(1);
    const MeshData second = asteroidMesh(2);
    for (const MeshData* rock : {&first, &second}) {
        expectClosedAndConsistentlyWound(*rock);
        float nearest = 10;
        float farthest = 0;
        for (const MeshFace& face : rock->faces) {
            for (int c = 0; c < 3; ++c) {
                const Vec3 p = corner(*rock, face, c);
                ASSERT_NEAR(length(face.normals[c]), 1, 1e-5f);
                // The rock is star-shaped about its centre, so the smooth normals still lean outwards.
                EXPECT_GT(dot(face.normals[c], p), 0);
                nearest = std::min(nearest, length(p));
                farthest = std::max(farthest, length(p));
            }
        }
        EXPECT_GT(farthest / nearest, 1.4f) << "a rock, not a ball";
    }
    ASSERT_EQ(first.vertices.size(), second.vertices.size());
    float difference = 0;
    for (std::size_t i = 0; i < first.vertices.size(); ++i)
        difference = std::max(difference, length(first.vertices[i] - second.vertices[i]));
    EXPECT_GT(difference, 0.1f);
}

} // namespace
