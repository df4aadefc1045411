#include "tools/meshgen/station_mesh.h"

#include <cmath>
#include <numbers>

namespace {

// A point of a profile turned about the y axis: its distance from the axis, its height, and the outward
// normal of the surface there in the same two terms.
struct ProfilePoint {
    float radius;
    float height;
    float normalRadius;
    float normalHeight;
};

// Adds the triangle a, b, c with each corner's own normal, its corners put in the order that faces the
// normals' side.
void addFace(MeshData& mesh, std::array<std::uint32_t, 3> corners, std::array<Vec3, 3> normals) {
    const Vec3 a = mesh.vertices[corners[0]];
    const Vec3 facing = cross(mesh.vertices[corners[1]] - a, mesh.vertices[corners[2]] - a);
    if (dot(facing, normals[0] + normals[1] + normals[2]) < 0) {
        std::swap(corners[1], corners[2]);
        std::swap(normals[1], normals[2]);
    }
    MeshFace face;
    face.vertices = corners;
    face.texCoords = corners; // every vertex has a texture coordinate of its own
    face.normals = normals;
    mesh.faces.push_back(face);
}

// The surface swept by the profile about the y axis in `segments` steps: u runs once around, v along the
// profile.
void addRevolved(MeshData& mesh, std::span<const ProfilePoint> profile, int segments) {
    const auto first = static_cast<std::uint32_t>(mesh.vertices.size());
    std::vector<Vec3> normals;
    for (std::size_t i = 0; i < profile.size(); ++i)
        for (int j = 0; j <= segments; ++j) {
            const double around = 2 * std::numbers::pi * j / segments;
            const auto c = static_cast<float>(std::cos(around));
            const auto s = static_cast<float>(-std::sin(around));
            const ProfilePoint& p = profile[i];
            mesh.vertices.push_back({p.radius * c, p.height, p.radius * s});
            mesh.texCoords.push_back({static_cast<float>(j) / static_cast<float>(segments),
                                      static_cast<float>(i) / static_cast<float>(profile.size() - 1)});
            normals.push_back(normalize(Vec3{p.normalRadius * c, p.normalHeight, p.normalRadius * s}));
        }
    const auto row = static_cast<std::uint32_t>(segments + 1);
    for (std::uint32_t i = 0; i + 1 < profile.size(); ++i)
        for (std::uint32_t j = 0; j < static_cast<std::uint32_t>(segments); ++j) {
            const std::uint32_t a = i * row + j, b = a + 1, c = a + row, d = c + 1;
            addFace(mesh, {first + a, first + b, first + d}, {normals[a], normals[b], normals[d]});
            addFace(mesh, {first + a, first + d, first + c}, {normals[a], normals[d], normals[c]});
        }
}

// A box between `low` and `high`, flat shaded.
void addBox(MeshData& mesh, Vec3 low, Vec3 high) {
    const Vec3 centre = (low + high) * 0.5f;
    const Vec3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int axis = 0; axis < 3; ++axis)
        for (float side : {-1.0f, 1.0f}) {
            const Vec3 n = axes[axis] * side;
            const Vec3 u = axes[(axis + 1) % 3];
            const Vec3 v = axes[(axis + 2) % 3];
            const auto corner = [&](float su, float sv) {
                const Vec3 half = (high - low) * 0.5f;
                return centre + n * dot(half, axes[axis]) + u * (su * dot(half, u)) + v * (sv * dot(half, v));
            };
            const auto first = static_cast<std::uint32_t>(mesh.vertices.size());
            for (auto [su, sv] : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) {
                mesh.vertices.push_back(corner(su, sv));
                mesh.texCoords.push_back({(su + 1) / 2, (sv + 1) / 2});
            }
            addFace(mesh, {first, first + 1, first + 2}, {n, n, n});
            addFace(mesh, {first, first + 2, first + 3}, {n, n, n});
        }
}

} // namespace

MeshData stationHubMesh() {
    MeshData mesh;
    // A closed cylinder: bottom cap, side, top cap, each with its own normals so the edges stay sharp.
    constexpr float r = 0.16f, h = 0.45f;
    const ProfilePoint hub[] = {
        {0, -h, 0, -1}, {r, -h, 0, -1}, {r, -h, 1, 0}, {r, h, 1, 0}, {r, h, 0, 1}, {0, h, 0, 1},
    };
    addRevolved(mesh, hub, 24);
    // Two crossed spokes reaching into the ring.
    constexpr float w = 0.035f;
    addBox(mesh, {-0.95f, -w, -w}, {0.95f, w, w});
    addBox(mesh, {-w, -w, -0.95f}, {w, w, 0.95f});
    return mesh;
}

MeshData stationRingMesh() {
    MeshData mesh;
    constexpr int steps = 12;
    constexpr float tube = 0.1f;
    std::vector<ProfilePoint> circle;
    for (int i = 0; i <= steps; ++i) {
        const double a = 2 * std::numbers::pi * i / steps;
        const auto c = static_cast<float>(std::cos(a));
        const auto s = static_cast<float>(std::sin(a));
        circle.push_back({1 + tube * c, tube * s, c, s});
    }
    addRevolved(mesh, circle, 64);
    return mesh;
}
