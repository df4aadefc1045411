#include "objects/mesh_file.h"
#include "tools/meshgen/mesh_file_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

fs::path runMeshgen(const std::string& folderName) {
    const fs::path folder = fs::path(::testing::TempDir()) / folderName;
    fs::remove_all(folder);
    const std::string command = std::string(MESHGEN_PATH) + " " + folder.string();
    EXPECT_EQ(std::system(command.c_str()), 0);
    return folder / "meshes";
}

TEST(MeshgenProgram, WritesTheSameDecodableMeshesOnEveryRun) {
    const fs::path first = runMeshgen("meshgen_first");
    const fs::path second = runMeshgen("meshgen_second");
    for (const char* name : {"sphere.dat", "env.dat", "ring.dat", "asteroid1.dat"}) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> bytes = fileBytes(first / name);
        MeshData mesh;
        ASSERT_TRUE(decodeMeshFile(bytes, mesh));
        EXPECT_FALSE(mesh.faces.empty());
        EXPECT_EQ(bytes, fileBytes(second / name));
    }
    MeshData sphere;
    ASSERT_TRUE(decodeMeshFile(fileBytes(first / "sphere.dat"), sphere));
    EXPECT_GE(sphere.faces.size(), 3900u) << "64 steps around and 32 from pole to pole: round at full screen";
}

TEST(MeshgenProgram, ReportsAFolderItCannotWriteTo) {
    const fs::path blocker = fs::path(::testing::TempDir()) / "meshgen_blocker";
    std::ofstream(blocker) << "a file, not a folder";
    EXPECT_FALSE(writeMeshFile(blocker / "meshes" / "sphere.dat", MeshData{}));
    const std::string command = std::string(MESHGEN_PATH) + " " + blocker.string() + " 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_NE(std::system(MESHGEN_PATH " 2>/dev/null"), 0) << "no folder given";
}

} // namespace
