// The sdd command as a user runs it: real archives from other archivers, archives it writes itself, and the
// ways an archive can be wrong.
#include "data/crc32.h"
#include "tools/sdd/archive_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

const fs::path vectors = fs::path(HELIOX_VECTORS_DIR) / "rar20";

struct SddRun {
    int exitCode;
    std::string output; // standard output and standard error together
};

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Runs sdd with the arguments, in `workingFolder` when one is given.
SddRun sdd(const std::string& arguments, const fs::path& workingFolder = {}) {
    std::string command = std::string(SDD_PATH) + " " + arguments + " 2>&1";
    if (!workingFolder.empty())
        command = "cd " + quoted(workingFolder) + " && " + command;
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::vector<std::uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, std::span<const std::uint8_t> bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::span<const std::uint8_t> bytesOf(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

class SddTool : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() /
            ("heliox-sdd-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

TEST_F(SddTool, TestsEveryRealArchive) {
    for (const char* name : {"Rar2.rar", "rar2-unix-owner.rar", "rar202-comment-nopsw.rar"}) {
        SddRun run = sdd("t " + quoted(vectors / name));
        EXPECT_EQ(run.exitCode, 0) << name << "\n" << run.output;
        EXPECT_NE(run.output.find(" 0 failed"), std::string::npos) << run.output;
    }
}

TEST_F(SddTool, ExtractsRealMembersByteForByteIntoFolders) {
    SddRun run = sdd("x " + quoted(vectors / "Rar2.rar") + " -o " + quoted(folder));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    // CRC-32 of each member, from the archive's own documentation.
    std::map<std::uint32_t, int> expected = {{0xcfb109c8, 0}, {0x088814e3, 0}, {0x9bd160fa, 0}};
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            ++expected[crc32(readBytes(entry.path()))];
    for (auto [crc, count] : expected)
        EXPECT_EQ(count, 1) << std::hex << crc;
    EXPECT_TRUE(fs::is_regular_file(folder / "exe" / "test.exe"));
    EXPECT_TRUE(fs::is_regular_file(folder / "jpg" / "test.jpg"));
}

TEST_F(SddTool, WritesStoredArchivesThatItListsPrintsAndExtracts) {
    writeBytes(folder / "in" / "textures" / "earth.jpg", bytesOf("not really a jpeg"));
    writeBytes(folder / "in" / "texture.txt", bytesOf("earth.jpg\nEND_TEXT\n"));
    fs::path archive = folder / "show.sdd";
    // Names are stored as given, so run from the folder the show's files lie in.
    SddRun add = sdd("a " + quoted(archive) + " -m0 texture.txt textures/earth.jpg", folder / "in");
    ASSERT_EQ(add.exitCode, 0) << add.output;

    SddRun list = sdd("l " + quoted(archive));
    EXPECT_EQ(list.exitCode, 0) << list.output;
    EXPECT_NE(list.output.find("stored"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("textures\\earth.jpg"), std::string::npos) << list.output;

    SddRun print = sdd("p " + quoted(archive) + " TEXTURES/EARTH.JPG");
    EXPECT_EQ(print.exitCode, 0);
    EXPECT_EQ(print.output, "not really a jpeg");

    SddRun extract = sdd("x " + quoted(archive) + " texture.txt -o " + quoted(folder / "out"));
    EXPECT_EQ(extract.exitCode, 0) << extract.output;
    EXPECT_EQ(readBytes(folder / "out" / "texture.txt"), readBytes(folder / "in" / "texture.txt"));
    EXPECT_FALSE(fs::exists(folder / "out" / "textures")); // only the member asked for
}

TEST_F(SddTool, PacksSolidMultimediaArchivesUnderGivenNames) {
    std::string text;
    for (int i = 0; text.size() < 20000; ++i)
        text += "planet " + std::to_string(i % 37) + " orbits the sun\n";
    writeBytes(folder / "in" / "script.txt", bytesOf(text));
    std::string sound;
    for (int i = 0; i < 40000; ++i)
        sound += static_cast<char>(128 + (i % 200 < 100 ? i % 100 : 100 - i % 100));
    writeBytes(folder / "in" / "sound.raw", bytesOf(sound));
    fs::path archive = folder / "show.sdd";
    SddRun add =
        sdd("a " + quoted(archive) + " -m5 -s -mm scripts/intro.txt=script.txt sound.raw", folder / "in");
    ASSERT_EQ(add.exitCode, 0) << add.output;

    SddRun list = sdd("l " + quoted(archive));
    EXPECT_NE(list.output.find("scripts\\intro.txt"), std::string::npos) << list.output;
    EXPECT_EQ(list.output.find("script.txt"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("m5"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("yes"), std::string::npos) << list.output; // sound.raw continues the chain
    EXPECT_LT(fs::file_size(archive), (text.size() + sound.size()) / 4);

    EXPECT_EQ(sdd("t " + quoted(archive)).exitCode, 0);
    EXPECT_EQ(sdd("p " + quoted(archive) + " scripts/intro.txt").output, text);
    EXPECT_EQ(sdd("p " + quoted(archive) + " sound.raw").output, sound);

    SddRun missing = sdd("a " + quoted(folder / "x.sdd") + " a.txt=nothing.txt", folder / "in");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("nothing.txt: no such file"), std::string::npos) << missing.output;
}

TEST_F(SddTool, NeverWritesOutsideTheOutputFolder) {
    ArchiveWriter writer;
    writer.addStored("..\\escaped.txt", bytesOf("evil"));
    writer.addStored("good.txt", bytesOf("fine"));
    ASSERT_TRUE(writer.save((folder / "evil.rar").string()));
    SddRun run = sdd("x " + quoted(folder / "evil.rar") + " -o " + quoted(folder / "out"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("..\\escaped.txt: refused"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(folder / "escaped.txt"));
    EXPECT_TRUE(fs::exists(folder / "out" / "good.txt")); // the sound members still come out
}

TEST_F(SddTool, ReportsDataErrorsWithArchiveMemberAndReason) {
    ArchiveWriter writer;
    writer.addStored("a.txt", bytesOf("first member"));
    writer.addStored("b.txt", bytesOf("second member"));
    std::vector<std::uint8_t> bytes = writer.bytes();
    bytes.back() ^= 0x01; // the last byte of b.txt's data
    fs::path archive = folder / "bad.rar";
    writeBytes(archive, bytes);

    SddRun test = sdd("t " + quoted(archive));
    EXPECT_EQ(test.exitCode, 1);
    EXPECT_NE(test.output.find(archive.string() + ": b.txt: CRC mismatch"), std::string::npos) << test.output;
    EXPECT_EQ(test.output.find("a.txt:"), std::string::npos) << test.output;

    SddRun missing = sdd("p " + quoted(archive) + " c.txt");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("c.txt: not found"), std::string::npos) << missing.output;

    SddRun noArchive = sdd("l " + quoted(folder / "data.sdd"));
    EXPECT_EQ(noArchive.exitCode, 1);
    EXPECT_NE(noArchive.output.find("data.sdd: cannot open"), std::string::npos) << noArchive.output;

    SddRun notRar = sdd("t " + quoted(vectors / "README.md"));
    EXPECT_EQ(notRar.exitCode, 1) << notRar.output;
}

TEST_F(SddTool, UsageErrorsExitWith2) {
    for (const char* arguments : {"", "l", "q x.rar", "l x.rar extra", "p x.rar", "a x.rar", "a x.rar f -m6",
                                  "a x.rar f -s9", "x x.rar --verbose"})
        EXPECT_EQ(sdd(arguments).exitCode, 2) << arguments;
}

} // namespace
