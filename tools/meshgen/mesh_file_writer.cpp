#include "tools/meshgen/mesh_file_writer.h"

#include <bit>
#include <fstream>

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

bool writeMeshFile(const std::filesystem::path& path, const MeshData& mesh) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error)
        return false;
    const std::vector<std::uint8_t> bytes = meshFileBytes(mesh);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}
