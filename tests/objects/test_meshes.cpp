#include "tests/objects/test_meshes.h"

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
