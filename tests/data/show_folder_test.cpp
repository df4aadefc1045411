#include "data/resource_file.h"
#include "data/show_source.h"

#include "tests/temporary_folder.h"
#include "tests/text_bytes.h"
#include "tools/sdd/archive_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A show written twice, packed into "data.sdd" and unpacked into "show/", inside a fresh folder.
class ShowFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = makeTemporaryFolder("heliox-show-folder");
        ASSERT_FALSE(base_.empty());
        fs::create_directories(folder() / "Textures" / "Moons");
        ArchiveWriter archive;
        for (const auto& [name, contents] : files_) {
            ASSERT_TRUE(archive.addStored(name, text(contents)));
            std::string path = name;
            std::replace(path.begin(), path.end(), '\\', '/');
            writeFile(folder() / fs::path(path), contents);
        }
        ASSERT_TRUE(archive.save(archivePath()));
    }
    void TearDown() override { fs::remove_all(base_); }

    static void writeFile(const fs::path& path, std::string_view contents) {
        std::ofstream(path, std::ios::binary) << contents;
    }
    fs::path folder() const { return base_ / "show"; }
    std::string archivePath() const { return (base_ / "data.sdd").string(); }

    const std::vector<std::pair<std::string, std::string_view>> files_{
        {"worlds.txt", "world a\nend\n"},
        {"Textures\\Earth.JPG", "earth"},
        {"Textures\\Moons\\luna.tga", "luna"},
        {"empty.txt", ""},
    };
    fs::path base_;
};

// The folder answers every name exactly as the archive does: the same bytes or the same reason, whatever the
// case and separators of the name.
TEST_F(ShowFolderTest, AFolderFindsWhatTheArchiveFinds) {
    const std::unique_ptr<ShowSource> packed = openShowSource(archivePath());
    const std::unique_ptr<ShowSource> unpacked = openShowSource(folder().string());
    ASSERT_EQ(packed->status(), ExtractResult::ok);
    ASSERT_EQ(unpacked->status(), ExtractResult::ok);
    for (const std::string_view name :
         {"WORLDS.TXT", "textures\\earth.jpg", "textures/moons/LUNA.tga", "textures_earth.jpg", "empty.txt",
          "textures\\mars.jpg", "textures", "..\\show\\worlds.txt", "", "worlds.txt\\"}) {
        std::vector<std::uint8_t> fromArchive, fromFolder;
        const ExtractResult archiveResult = packed->fetch(name, fromArchive);
        // The archive stores no folder entries, the folder has its subfolders.
        EXPECT_EQ(unpacked->fetch(name, fromFolder),
                  name == "textures" ? ExtractResult::notAFile : archiveResult)
            << name;
        EXPECT_EQ(fromFolder, fromArchive) << name;
    }
    std::vector<std::string> archiveNames, folderNames;
    EXPECT_EQ(packed->listFiles(archiveNames), ExtractResult::ok);
    EXPECT_EQ(unpacked->listFiles(folderNames), ExtractResult::ok);
    std::sort(archiveNames.begin(), archiveNames.end());
    EXPECT_EQ(folderNames, archiveNames);

    // The loaders read a folder given as the show as they read an archive.
    ResourceFile file;
    EXPECT_TRUE(file.open("Textures\\Earth.jpg", folder().string()));
    EXPECT_EQ(file.size(), 5u);
    EXPECT_FALSE(file.open("worlds.txt", (base_ / "missing").string()));
}

#ifndef _WIN32
// Links may point anywhere: only those that stay inside the folder are read, and a file too large for an
// archive is refused before it is read.
TEST_F(ShowFolderTest, AFolderNeverReadsOutsideItselfNorTooMuch) {
    writeFile(base_ / "secret.txt", "secret");
    fs::create_directory(base_ / "elsewhere");
    writeFile(base_ / "elsewhere" / "hidden.txt", "hidden");
    fs::create_symlink(base_ / "secret.txt", folder() / "secret.txt");
    fs::create_symlink(base_ / "elsewhere", folder() / "elsewhere");
    fs::create_symlink(folder() / "worlds.txt", folder() / "again.txt");
    fs::create_symlink(folder(), folder() / "loop");
    { std::ofstream(folder() / "huge.dat", std::ios::binary); }
    fs::resize_file(folder() / "huge.dat", std::uintmax_t{largestMemberSize} + 1); // sparse: costs no disk

    const std::unique_ptr<ShowSource> source = openShowSource(folder().string());
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(source->fetch("secret.txt", bytes), ExtractResult::outsideFolder);
    EXPECT_EQ(source->fetch("..\\secret.txt", bytes), ExtractResult::notFound);
    EXPECT_EQ(source->fetch("elsewhere\\hidden.txt", bytes), ExtractResult::notFound);
    EXPECT_EQ(source->fetch("loop\\worlds.txt", bytes), ExtractResult::notFound);
    EXPECT_EQ(source->fetch("huge.dat", bytes), ExtractResult::tooLarge);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(source->fetch("again.txt", bytes), ExtractResult::ok);
    EXPECT_EQ(bytes, text("world a\nend\n"));
}
#endif

} // namespace
