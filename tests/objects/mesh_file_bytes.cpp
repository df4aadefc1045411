#include "tests/objects/mesh_file_bytes.h"

#include <bit>

namespace {

void put(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

void put(std::vector<std::uint8_t>& bytes, float value) {
    put(bytes, std::bit_cast<std::uint32_t>(value));
}

void put(std::vector<std::uint8_t>& bytes, Vec3 v) {
    put(bytes, v.x);
    put(bytes, v.y);
    put(bytes, v.z);
}

} // namespace

std::vector<std::uint8_t> meshFileBytes(const MeshData& mesh) {
    std::vector<std::uint8_t> bytes;
    put(bytes, static_cast<std::uint32_t>(mesh.vertices.size()));
    put(bytes, static_cast<std::uint32_t>(mesh.faces.size()));
    put(bytes, static_cast<std::uint32_t>(mesh.texCoords.size()));
    for (const Vec3& vertex : mesh.vertices)
        put(bytes, vertex);
    for (const MeshFace& face : mesh.faces) {
        for (std::uint32_t index : face.vertices)
            put(bytes, index);
    }
    for (const MeshFace& face : mesh.faces) {
        for (std::uint32_t index : face.texCoords)
            put(bytes, index);
    }
    for (const MeshTexCoord& texCoord : mesh.texCoords) {
        put(bytes, texCoord.u);
        put(bytes, texCoord.v);
    }
    for (const MeshFace& face : mesh.faces) {
        for (const Vec3& normal : face.normals)
            put(bytes, normal);
    }
    return bytes;
}

MeshData oneTriangleMesh() {
    MeshData mesh;
    mesh.vertices = {{0.5f, 0.25f, 0}, {-0.5f, 0.5f, 0.25f}, {0, -0.5f, -0.25f}};
    mesh.texCoords = {{0, 0}, {1, 0}, {0.5f, 1}};
    mesh.faces = {
        {.vertices = {2, 0, 1}, .texCoords = {1, 2, 0}, .normals = {{{0, 0, 1}, {0, 1, 0}, {1, 0, 0}}}}};
    return mesh;
}

MeshData sharedCornerMesh() {
    MeshData mesh;
    mesh.vertices = {{0, 0, 0}, {0.5f, 0, 0}, {0.5f, 0.5f, 0}, {0, 0.5f, 0}};
    mesh.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0.25f, 0.75f}};
    const std::array<Vec3, 3> up{{{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}};
    mesh.faces = {{.vertices = {0, 1, 2}, .texCoords = {0, 1, 2}, .normals = up},
                  {.vertices = {2, 3, 0}, .texCoords = {2, 1, 3}, .normals = up}};
    return mesh;
}

MeshData octahedronMesh() {
    MeshData mesh;
    mesh.vertices = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    mesh.texCoords = {{0, 0}};
    for (std::uint32_t x : {0u, 1u}) {
        for (std::uint32_t y : {2u, 3u}) {
            for (std::uint32_t z : {4u, 5u}) {
                MeshFace face{.vertices = {x, y, z}, .texCoords = {0, 0, 0}, .normals = {}};
                for (int corner = 0; corner < 3; ++corner)
                    face.normals[corner] = mesh.vertices[face.vertices[corner]];
                mesh.faces.push_back(face);
            }
        }
    }
    return mesh;
}
