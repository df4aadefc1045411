#include "tests/data/unrar/crosscheck_fixture.h"
#include "tests/data/unrar/reference_unpacker.h"

#include <fstream>
#include <iterator>

namespace {

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(ArchiveWriter, WritesTheMarkerAndMainHeaderAsARealArchiverDoes) {
    // Rar2.rar comes from another project's test suite: a non-solid RAR 2.0 archive with the same main
    // header.
    const std::vector<std::uint8_t> real = readFile(HELIOX_VECTORS_DIR "/rar20/Rar2.rar");
    ASSERT_GE(real.size(), 20u);
    const ArchiveWriter archive;
    EXPECT_TRUE(std::equal(archive.bytes().begin(), archive.bytes().end(), real.begin(), real.begin() + 20));
    EXPECT_EQ(archive.bytes().size(), 20u);
}

TEST(ArchiveWriter, StoresTimesInDosFormat) {
    // The time of "exe\test.exe" in Rar2.rar: 2022-02-14 09:38:20.
    EXPECT_EQ(dosTime(2022, 2, 14, 9, 38, 20), 0x544E4CCAu);
    EXPECT_EQ(defaultMemberTime, dosTime(2000, 1, 1, 0, 0, 0));
}

TEST(ArchiveWriter, RefusesMembersItCannotDescribeAndLeavesTheArchiveAsItWas) {
    ArchiveWriter archive;
    const std::vector<std::uint8_t> before = archive.bytes();
    const std::uint8_t data[] = {1, 2, 3};
    EXPECT_FALSE(archive.addStored("", data));
    EXPECT_FALSE(archive.addStored(std::string(70000, 'a'), data));
    EXPECT_FALSE(archive.addPacked("a.bin", data, 3, 0, rar::methodStored));
    EXPECT_FALSE(archive.addPacked("a.bin", data, 3, 0, 0x36));
    EXPECT_EQ(archive.bytes(), before);
}

TEST_F(CrossCheck, StoredArchivesRoundTripThroughEveryUnpacker) {
    for (bool solid : {false, true}) {
        SCOPED_TRACE(solid ? "solid" : "not solid");
        expected_.clear();
        ArchiveWriter archive(solid);
        const std::string text = "sun\r\nearth\r\n";
        addStored(archive, "texture.txt", std::vector<std::uint8_t>(text.begin(), text.end()));
        addStored(archive, "textures\\c.jpg", pseudoRandomBytes(10000, 1));
        addStored(archive, "empty.txt", {});
        ASSERT_TRUE(archive.addStored("meshes/sphere.dat", pseudoRandomBytes(777, 2)));
        expected_.push_back({"meshes\\sphere.dat", pseudoRandomBytes(777, 2)}); // `/` is stored as `\`
        expectEveryUnpackerAgrees(archive);

        const std::filesystem::path archivePath = folder_ / "test.sdd";
        const ReferenceExtraction unar = extractWithUnar(archivePath, folder_ / "unar");
        ASSERT_EQ(unar.error, "");
        EXPECT_EQ(unar.members.size(), expected_.size());
        for (const ExpectedMember& member : expected_) {
            const auto found = unar.members.find(extractedName(member.name));
            ASSERT_NE(found, unar.members.end()) << member.name;
            EXPECT_EQ(found->second, member.bytes) << member.name;
        }
        std::filesystem::remove_all(folder_ / "unar");
        std::filesystem::remove_all(folder_ / "node-unrar-js");
    }
}

} // namespace
