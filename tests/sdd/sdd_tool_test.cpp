// The sdd command as a user runs it: real archives from other archivers, archives it writes itself, and the
// ways an archive can be wrong.
#include "data/archive_reader.h"
#include "data/crc32.h"
#include "tools/sdd/archive_packer.h"
#include "tools/sdd/archive_verify.h"

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

TEST_F(SddTool, AddsToAnExistingArchiveReplacingMembersOfTheSameName) {
    writeBytes(folder / "in" / "a.txt", bytesOf("first a"));
    writeBytes(folder / "in" / "b.txt", bytesOf("first b"));
    writeBytes(folder / "new" / "B.TXT", bytesOf("second b, replacing the first"));
    writeBytes(folder / "new" / "c.txt", bytesOf("c, added"));
    for (const char* options : {"-m3", "-m5 -s"}) {
        SCOPED_TRACE(options);
        const fs::path archive = folder / (std::string("show") + options[2] + ".sdd");
        ASSERT_EQ(sdd("a " + quoted(archive) + " " + options + " a.txt b.txt", folder / "in").exitCode, 0);
        // Added without -s: a solid archive stays solid, packed again as one stream.
        SddRun add = sdd("a " + quoted(archive) + " B.TXT c.txt", folder / "new");
        ASSERT_EQ(add.exitCode, 0) << add.output;
        SddRun list = sdd("l " + quoted(archive));
        EXPECT_NE(list.output.find("a.txt"), std::string::npos) << list.output;
        EXPECT_EQ(list.output.find("b.txt"), std::string::npos) << list.output;
        EXPECT_EQ(std::string(options).find("-s") != std::string::npos,
                  list.output.find("yes") != std::string::npos)
            << list.output;
        EXPECT_EQ(sdd("p " + quoted(archive) + " a.txt").output, "first a");
        EXPECT_EQ(sdd("p " + quoted(archive) + " b.txt").output, "second b, replacing the first");
        EXPECT_EQ(sdd("p " + quoted(archive) + " c.txt").output, "c, added");
        EXPECT_NE(sdd("t " + quoted(archive)).output.find("3 members, 0 failed"), std::string::npos);
    }
}

// Whatever stops `a`, an archive that was there is left byte for byte as it was, and no temporary file stays.
TEST_F(SddTool, AFailedAddLeavesTheArchiveAsItWasAndRefusesWhatReadersRefuse) {
    writeBytes(folder / "in" / "a.txt", bytesOf("kept"));
    const fs::path archive = folder / "in" / "show.sdd";
    ASSERT_EQ(sdd("a " + quoted(archive) + " a.txt", folder / "in").exitCode, 0);
    const std::vector<std::uint8_t> before = readBytes(archive);
    // One byte more than any reader of ours takes, sparse so the test costs no disk.
    std::ofstream(folder / "in" / "huge.bin").close();
    fs::resize_file(folder / "in" / "huge.bin", (256u << 20) + 1);
    SddRun huge = sdd("a " + quoted(archive) + " a.txt huge.bin", folder / "in");
    EXPECT_EQ(huge.exitCode, 1);
    EXPECT_NE(huge.output.find("huge.bin: larger than 256 MiB"), std::string::npos) << huge.output;
    EXPECT_NE(huge.output.find("left as it was"), std::string::npos) << huge.output;
    SddRun missing = sdd("a " + quoted(archive) + " b.txt=missing.txt", folder / "in");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(readBytes(archive), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "in"), fs::directory_iterator()), 3);

    ArchivePacker packer(PackOptions{});
    const std::vector<std::uint8_t> tooLarge((256u << 20) + 1);
    EXPECT_FALSE(packer.add("huge.bin", tooLarge));
}

// The check behind every `a`: each member read back through our unpacker must match its input.
TEST(ArchiveVerify, NamesTheFirstMemberThatDoesNotReadBackAsWritten) {
    ArchivePacker packer(PackOptions{3, true, false});
    std::string text;
    for (int i = 0; text.size() < 5000; ++i)
        text += "moon " + std::to_string(i % 13) + " ";
    std::vector<WrittenMember> written;
    for (const char* name : {"one.txt", "dir/two.txt"}) {
        ASSERT_TRUE(packer.add(name, bytesOf(text)));
        written.push_back(WrittenMember::of(name, bytesOf(text)));
    }
    const std::vector<std::uint8_t> good = packer.finish().bytes();
    std::string member, reason;
    MemoryArchiveSource source(good);
    EXPECT_TRUE(verifyArchive(source, written, member, reason)) << member << ": " << reason;

    std::vector<WrittenMember> other = written;
    other[1].crc ^= 1;
    EXPECT_FALSE(verifyArchive(source, other, member, reason));
    EXPECT_EQ(member, "dir\\two.txt");
    other = {written[0]};
    EXPECT_FALSE(verifyArchive(source, other, member, reason));
    EXPECT_EQ(member, "dir\\two.txt");
    other = {written[0], written[1], WrittenMember::of("three.txt", {})};
    EXPECT_FALSE(verifyArchive(source, other, member, reason));
    EXPECT_EQ(member, "three.txt");
    std::vector<MemberHeader> headers;
    ASSERT_EQ(listMembers(source, headers), ExtractResult::ok);
    std::vector<std::uint8_t> damaged = good;
    damaged[headers[0].dataOffset + headers[0].packSize / 2] ^= 0x10;
    MemoryArchiveSource damagedSource(damaged);
    EXPECT_FALSE(verifyArchive(damagedSource, written, member, reason));
    EXPECT_EQ(member, "one.txt") << reason;
}

TEST_F(SddTool, JunkAfterTheLastMemberIsReportedAndEveryMemberStillComesOut) {
    ArchiveWriter writer;
    writer.addStored("a.txt", bytesOf("first member"));
    writer.addStored("b.txt", bytesOf("second member"));
    std::vector<std::uint8_t> bytes = writer.bytes();
    const std::string junk = "appended by a download";
    bytes.insert(bytes.end(), junk.begin(), junk.end());
    const fs::path archive = folder / "junk.rar";
    writeBytes(archive, bytes);
    for (const std::string command : {"t", "l", "x"}) {
        SddRun run = sdd(command + " " + quoted(archive) + (command == "x" ? " -o " + quoted(folder / "out") : ""));
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("22 bytes after the last whole member"), std::string::npos) << run.output;
    }
    EXPECT_EQ(readBytes(folder / "out" / "b.txt"), std::vector<std::uint8_t>(bytesOf("second member").begin(),
                                                                             bytesOf("second member").end()));
}

TEST_F(SddTool, ExtractionNeverWritesThroughASymbolicLink) {
    ArchiveWriter writer;
    writer.addStored("textures\\earth.jpg", bytesOf("through a folder link"));
    writer.addStored("sun.jpg", bytesOf("through a file link"));
    writer.addStored("moon.jpg", bytesOf("fine"));
    ASSERT_TRUE(writer.save((folder / "links.rar").string()));
    fs::create_directories(folder / "elsewhere");
    fs::create_directories(folder / "out");
    writeBytes(folder / "elsewhere" / "sun.jpg", bytesOf("precious"));
    fs::create_directory_symlink(folder / "elsewhere", folder / "out" / "textures");
    fs::create_symlink(folder / "elsewhere" / "sun.jpg", folder / "out" / "sun.jpg");

    SddRun run = sdd("x " + quoted(folder / "links.rar") + " -o " + quoted(folder / "out"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("textures\\earth.jpg: refused"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("sun.jpg: refused"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(folder / "elsewhere" / "earth.jpg"));
    EXPECT_EQ(readBytes(folder / "elsewhere" / "sun.jpg"),
              std::vector<std::uint8_t>(bytesOf("precious").begin(), bytesOf("precious").end()));
    EXPECT_TRUE(fs::exists(folder / "out" / "moon.jpg"));
}

} // namespace
