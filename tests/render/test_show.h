#pragma once

#include "objects/mesh_file.h"
#include "tools/meshgen/sphere_mesh.h" // uvSphereMesh, the sphere the test shows are built from

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A show made by a test: the scripts, pictures and meshes a data archive holds, stored the way `sdd a -m0`
// stores them.
class TestShow {
public:
    void addText(std::string_view member, std::string_view text);
    void addBytes(std::string_view member, std::vector<std::uint8_t> bytes);
    // A JPEG of one colour, or of the given pixels (RGB, top row first).
    void addJpeg(std::string_view member, int width, int height, std::vector<std::uint8_t> rgbTopRowFirst);
    void addSolidJpeg(std::string_view member, std::uint8_t r, std::uint8_t g, std::uint8_t b);
    // A 32-bit uncompressed TGA of the given pixels (RGBA, bottom row first as TGA stores them).
    void addTga(std::string_view member, int width, int height,
                const std::vector<std::uint8_t>& rgbaBottomUp);
    void addMesh(std::string_view member, const MeshData& mesh);

    // Writes the archive into `folder` and returns its path.
    std::filesystem::path save(const std::filesystem::path& folder) const;

private:
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> members_;
};
