#include "tests/render/test_show.h"

#include "tests/images/picture_files.h"
#include "tests/objects/mesh_file_bytes.h"
#include "tools/sdd/archive_writer.h"

#include <cmath>
#include <numbers>

void TestShow::addText(std::string_view member, std::string_view text) {
    members_.emplace_back(std::string(member), std::vector<std::uint8_t>(text.begin(), text.end()));
}

void TestShow::addBytes(std::string_view member, std::vector<std::uint8_t> bytes) {
    members_.emplace_back(std::string(member), std::move(bytes));
}

void TestShow::addJpeg(std::string_view member, int width, int height,
                       std::vector<std::uint8_t> rgbTopRowFirst) {
    addBytes(member, rgbJpeg(width, height, rgbTopRowFirst));
}

void TestShow::addSolidJpeg(std::string_view member, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < 8 * 8; ++i)
        pixels.insert(pixels.end(), {r, g, b});
    addJpeg(member, 8, 8, pixels);
}

void TestShow::addTga(std::string_view member, int width, int height,
                      const std::vector<std::uint8_t>& rgbaBottomUp) {
    TgaFile tga;
    tga.width = static_cast<std::uint16_t>(width);
    tga.height = static_cast<std::uint16_t>(height);
    for (std::size_t i = 0; i < rgbaBottomUp.size(); i += 4) // TGA stores blue, green, red, alpha
        tga.data.insert(tga.data.end(),
                        {rgbaBottomUp[i + 2], rgbaBottomUp[i + 1], rgbaBottomUp[i], rgbaBottomUp[i + 3]});
    addBytes(member, tga.bytes());
}

void TestShow::addMesh(std::string_view member, const MeshData& mesh) {
    addBytes(member, meshFileBytes(mesh));
}

std::filesystem::path TestShow::save(const std::filesystem::path& folder) const {
    ArchiveWriter writer;
    for (const auto& [name, bytes] : members_)
        writer.addStored(name, bytes);
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / "data.sdd";
    writer.save(path.string());
    return path;
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
        f.normals = {mesh.vertices[a], mesh.vertices[b],
                     mesh.vertices[c]}; // a unit sphere's normal is its point
        mesh.faces.push_back(f);
    };
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            face(index(i, j), index(i + 1, j), index(i + 1, j + 1));
            face(index(i, j), index(i + 1, j + 1), index(i, j + 1));
        }
    return mesh;
}
