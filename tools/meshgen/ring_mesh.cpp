#include "tools/meshgen/ring_mesh.h"

#include <cmath>
#include <numbers>

MeshData ringMesh(float innerRadius, float outerRadius, int segments) {
    MeshData mesh;
    for (int j = 0; j < segments; ++j) {
        const double around = 2 * std::numbers::pi * j / segments;
        const auto x = static_cast<float>(std::cos(around));
        const auto z = static_cast<float>(-std::sin(around));
        mesh.vertices.push_back({innerRadius * x, 0, innerRadius * z});
        mesh.vertices.push_back({outerRadius * x, 0, outerRadius * z});
    }
    for (int j = 0; j <= segments; ++j) {
        const float v = static_cast<float>(j) / static_cast<float>(segments);
        mesh.texCoords.push_back({0, v});
        mesh.texCoords.push_back({1, v});
    }

    const Vec3 up{0, 1, 0};
    auto inner = [&](int j) { return std::pair{static_cast<std::uint32_t>(2 * (j % segments)), 2 * j}; };
    auto outer = [&](int j) {
        return std::pair{static_cast<std::uint32_t>(2 * (j % segments) + 1), 2 * j + 1};
    };
    auto face = [&](std::array<std::pair<std::uint32_t, int>, 3> corners, Vec3 normal) {
        MeshFace f;
        for (int c = 0; c < 3; ++c) {
            f.vertices[c] = corners[c].first;
            f.texCoords[c] = static_cast<std::uint32_t>(corners[c].second);
            f.normals[c] = normal;
        }
        mesh.faces.push_back(f);
    };
    for (int j = 0; j < segments; ++j) {
        face({inner(j), outer(j), outer(j + 1)}, up);
        face({inner(j), outer(j + 1), inner(j + 1)}, up);
        face({inner(j), outer(j + 1), outer(j)}, -up);
        face({inner(j), inner(j + 1), outer(j + 1)}, -up);
    }
    return mesh;
}
