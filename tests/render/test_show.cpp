#include "tests/render/test_show.h"

#include "tests/data/picture_files.h"
#include "tools/meshgen/mesh_file_writer.h"
#include "tools/sdd/archive_writer.h"

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
    addBytes(member, solidJpeg(r, g, b));
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
