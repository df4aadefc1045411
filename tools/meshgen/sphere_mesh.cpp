#include "tools/meshgen/sphere_mesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The point `stack` rings down from the +y pole and `slice` steps around from +x towards −z.
Vec3 spherePoint(int stack, int stacks, int slice, int slices) {
    const double polar = std::numbers::pi * stack / stacks;
    const double around = 2 * std::numbers::pi * slice / slices;
    return {static_cast<float>(std::sin(polar) * std::cos(around)), static_cast<float>(std::cos(polar)),
            static_cast<float>(-std::sin(polar) * std::sin(around))};
}

} // namespace

MeshData unitSphereMesh(int stacks, int slices) {
    MeshData mesh;
    mesh.vertices.push_back({0, 1, 0});
    for (int i = 1; i < stacks; ++i) {
        for (int j = 0; j < slices; ++j)
            mesh.vertices.push_back(spherePoint(i, stacks, j, slices));
    }
    mesh.vertices.push_back({0, -1, 0});
    for (int i = 0; i <= stacks; ++i) {
        // A pole closes each cell of its ring with one triangle, and its corner there takes the u of the
        // middle of the cell: with the u of one edge every such triangle's picture would be sheared to that
        // side, a pinwheel round the pole.
        const float poleShift = i == 0 || i == stacks ? 0.5f : 0.0f;
        for (int j = 0; j <= slices; ++j)
            mesh.texCoords.push_back({(static_cast<float>(j) + poleShift) / static_cast<float>(slices),
                                      1 - static_cast<float>(i) / static_cast<float>(stacks)});
    }

    const auto lastVertex = static_cast<std::uint32_t>(mesh.vertices.size() - 1);
    auto vertex = [&](int i, int j) -> std::uint32_t {
        if (i == 0)
            return 0;
        if (i == stacks)
            return lastVertex;
        return static_cast<std::uint32_t>(1 + (i - 1) * slices + j % slices);
    };
    auto texCoord = [&](int i, int j) { return static_cast<std::uint32_t>(i * (slices + 1) + j); };
    auto face = [&](std::array<std::pair<int, int>, 3> corners) {
        MeshFace f;
        for (int c = 0; c < 3; ++c) {
            const auto [i, j] = corners[c];
            f.vertices[c] = vertex(i, j);
            f.texCoords[c] = texCoord(i, j);
            f.normals[c] = mesh.vertices[f.vertices[c]];
        }
        mesh.faces.push_back(f);
    };
    for (int i = 0; i < stacks; ++i) {
        for (int j = 0; j < slices; ++j) {
            // A cell touching a pole is a single triangle: its other half would have no area. Its pole
            // corner is the texture coordinate of column j, the middle of the cell.
            if (i == 0) {
                face({{{i, j}, {i + 1, j}, {i + 1, j + 1}}});
            } else if (i + 1 == stacks) {
                face({{{i, j}, {i + 1, j}, {i, j + 1}}});
            } else {
                face({{{i, j}, {i + 1, j}, {i + 1, j + 1}}});
                face({{{i, j}, {i + 1, j + 1}, {i, j + 1}}});
            }
        }
    }
    return mesh;
}

Vec3 unitSphereSurfacePoint(float u, float v, int stacks, int slices) {
    // Cell (i, j) of the texture, and where (u, v) lies in it: `across` from its left edge, `down` from its
    // top edge, both in [0, 1].
    const float column = std::clamp(u, 0.0f, 1.0f) * static_cast<float>(slices);
    const float row = std::clamp(1 - v, 0.0f, 1.0f) * static_cast<float>(stacks);
    const int j = std::min(static_cast<int>(column), slices - 1);
    const int i = std::min(static_cast<int>(row), stacks - 1);
    const float across = column - static_cast<float>(j);
    const float down = row - static_cast<float>(i);
    const Vec3 topLeft = spherePoint(i, stacks, j, slices);
    const Vec3 topRight = spherePoint(i, stacks, j + 1, slices);
    const Vec3 bottomLeft = spherePoint(i + 1, stacks, j, slices);
    const Vec3 bottomRight = spherePoint(i + 1, stacks, j + 1, slices);
    // A pole triangle spans the ring edge at one end and the middle of the pole edge at the other. A
    // coordinate beside it is never drawn, but the texture filter blends it into the triangle's edge: it gets
    // the point the triangle's own map reaches out to, beyond the edge in the triangle's plane.
    const auto poleTriangle = [](Vec3 pole, Vec3 left, Vec3 right, float towardsRing, float across) {
        return pole + towardsRing * (left - pole) + (across - 0.5f * (1 - towardsRing)) * (right - left);
    };
    if (i == 0)
        return poleTriangle(topLeft, bottomLeft, bottomRight, down, across);
    if (i + 1 == stacks)
        return poleTriangle(bottomLeft, topLeft, topRight, 1 - down, across);
    if (down >= across)
        return topLeft + down * (bottomLeft - topLeft) + across * (bottomRight - bottomLeft);
    return topLeft + across * (topRight - topLeft) + down * (bottomRight - topRight);
}

MeshData uvSphereMesh(int stacks, int slices) {
    MeshData mesh;
    const float pi = std::numbers::pi_v<float>;
    for (int i = 0; i <= stacks; ++i) {
        const float polar = pi * static_cast<float>(i) / static_cast<float>(stacks);
        for (int j = 0; j <= slices; ++j) {
            const float around = 2 * pi * static_cast<float>(j) / static_cast<float>(slices);
            mesh.vertices.push_back(
                {std::sin(polar) * std::cos(around), std::cos(polar), -std::sin(polar) * std::sin(around)});
            mesh.texCoords.push_back({static_cast<float>(j) / static_cast<float>(slices),
                                      1 - static_cast<float>(i) / static_cast<float>(stacks)});
        }
    }
    auto index = [&](int i, int j) { return static_cast<std::uint32_t>(i * (slices + 1) + j); };
    auto face = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        MeshFace f;
        f.vertices = {a, b, c};
        f.texCoords = {a, b, c};
        f.normals = {mesh.vertices[a], mesh.vertices[b], mesh.vertices[c]};
        mesh.faces.push_back(f);
    };
    for (int i = 0; i < stacks; ++i) {
        for (int j = 0; j < slices; ++j) {
            face(index(i, j), index(i + 1, j), index(i + 1, j + 1));
            face(index(i, j), index(i + 1, j + 1), index(i, j + 1));
        }
    }
    return mesh;
}
