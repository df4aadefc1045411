// The sdd command as a user runs it: real archives from other archivers, archives it writes itself, and the
// ways an archive can be wrong.
#include "data/archive_reader.h"
#include "data/crc32.h"
#include "tests/data/unrar/reference_unpacker.h"
#include "tools/sdd/archive_lock.h"
#include "tools/sdd/archive_packer.h"
#include "tools/sdd/archive_verify.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Runs sdd with the arguments, in `workingFolder` when one is given; `errors` says where standard error goes.
// `program` is the command that runs it: the built tool, unless a test runs it another way.
SddRun sdd(const std::string& arguments, const fs::path& workingFolder = {}, const char* errors = "2>&1",
           const std::string& program = SDD_PATH) {
    std::string command = program + " " + arguments + " " + errors;
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

std::string readText(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = readBytes(path);
    return {bytes.begin(), bytes.end()};
}

bool contains(const std::string& text, const std::string& pattern) {
    return std::regex_search(text, std::regex(pattern));
}

// A local time as the file system keeps it.
std::time_t localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::time_t modificationTime(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mtime : 0;
}

void setModificationTime(const fs::path& path, std::time_t time) {
    const timespec times[2] = {{time, 0}, {time, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// The options a text names, "-x" or "--name"; in roff every dash is written "\-".
std::set<std::string> optionsIn(std::string text) {
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    std::set<std::string> options;
    const std::regex option(R"((?:^|[^\w-])(--?[a-z][a-z0-9-]*))");
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it)
        options.insert((*it)[1]);
    return options;
}

// Every file below `folder`, by its path relative to it ('/' between folders), with what it holds.
std::map<std::string, std::vector<std::uint8_t>> filesUnder(const fs::path& folder) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().lexically_relative(folder).generic_string()] = readBytes(entry.path());
    return files;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
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
    EXPECT_TRUE(fs::is_regular_file(folder / "\u0442\u0435\u0441\u0442.txt")); // stored in Unicode form
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

    SddRun print = sdd("p " + quoted(archive) + " textures\\\\earth.jpg");
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
    EXPECT_NE(list.output.find("(solid)"), std::string::npos) << list.output;
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

// A name that would act on a terminal, or split in two at a line break, is not made a file; nor does `a`
// store a name that `x` would refuse.
TEST_F(SddTool, NamesWithControlCharactersAreSkippedAndNamesXRefusesAreNotStored) {
    ArchiveWriter writer;
    writer.addStored("bad\x1B[2J\x07name.txt", bytesOf("bell"));
    writer.addStored("line\r\nbreak.txt", bytesOf("split"));
    writer.addStored("good.txt", bytesOf("fine"));
    ASSERT_TRUE(writer.save((folder / "control.rar").string()));
    const SddRun run = sdd("x " + quoted(folder / "control.rar") + " -o " + quoted(folder / "out"));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("bad\\x1B[2J\\x07name.txt: warning: the name holds control characters"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("line\\x0D\\x0Abreak.txt: warning"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find_first_of("\x1B\x07\r"), std::string::npos) << run.output;
    EXPECT_EQ(filesUnder(folder / "out").size(), 1u);
    EXPECT_TRUE(fs::exists(folder / "out" / "good.txt"));

    writeBytes(folder / "good.txt", bytesOf("fine"));
    for (const std::string name :
         {"'C:\\x=good.txt'", "'c:x=good.txt'", "\"$(printf 'esc\\033there')=good.txt\""}) {
        const SddRun add = sdd("a " + quoted(folder / "new.sdd") + " " + name, folder);
        EXPECT_EQ(add.exitCode, 1) << name << add.output;
        EXPECT_NE(add.output.find("sdd x would refuse a name with"), std::string::npos) << add.output;
        EXPECT_FALSE(fs::exists(folder / "new.sdd"));
    }

    // A '\' that is part of a file's name here would come back as a folder: named and left out of a tree,
    // refused as a file given on its own; the rest of the tree is stored.
    writeBytes(folder / "tree" / "a\\b", bytesOf("one name"));
    writeBytes(folder / "tree" / "c.txt", bytesOf("plain"));
    const SddRun tree = sdd("a new.sdd tree", folder);
    EXPECT_EQ(tree.exitCode, 1) << tree.output;
    EXPECT_NE(tree.output.find("its name holds '\\', which archives read as a folder separator"),
              std::string::npos)
        << tree.output;
    EXPECT_EQ(sdd("p new.sdd tree/c.txt", folder).output, "plain");
    EXPECT_NE(sdd("t new.sdd", folder).output.find("1 member, 0 failed"), std::string::npos);
    const SddRun alone = sdd("a alone.sdd 'tree/a\\b'", folder);
    EXPECT_EQ(alone.exitCode, 1) << alone.output;
    EXPECT_FALSE(fs::exists(folder / "alone.sdd"));
}

TEST_F(SddTool, ReportsDataErrorsWithArchiveMemberAndReason) {
    ArchiveWriter writer;
    writer.addStored("a.txt", bytesOf("first member"));
    writer.addStored("b.txt", bytesOf("second member"));
    std::vector<std::uint8_t> bytes = writer.bytes();
    bytes.back() ^= 0x01; // the last byte of b.txt's data
    fs::path archive = folder / "bad.rar";
    writeBytes(archive, bytes);

    // A damaged archive (3) is told apart from a sound one with a name that selects nothing (1).
    SddRun test = sdd("t " + quoted(archive));
    EXPECT_EQ(test.exitCode, 3);
    EXPECT_NE(test.output.find(archive.string() + ": b.txt: CRC mismatch"), std::string::npos) << test.output;
    EXPECT_EQ(test.output.find("a.txt:"), std::string::npos) << test.output;

    SddRun missing = sdd("p " + quoted(archive) + " c.txt");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("c.txt: no member of that name"), std::string::npos) << missing.output;

    SddRun noArchive = sdd("l " + quoted(folder / "data.sdd"));
    EXPECT_EQ(noArchive.exitCode, 3);
    EXPECT_NE(noArchive.output.find("data.sdd: cannot open"), std::string::npos) << noArchive.output;

    SddRun notRar = sdd("t " + quoted(vectors / "README.md"));
    EXPECT_EQ(notRar.exitCode, 3) << notRar.output;
    // Where a member is damaged and a pattern selects nothing, the larger code wins.
    EXPECT_EQ(sdd("x " + quoted(archive) + " b.txt c.txt -o " + quoted(folder / "out")).exitCode, 3);
}

TEST_F(SddTool, UsageErrorsExitWith2) {
    for (const char* arguments : {"", "l", "q x.rar", "p x.rar", "a x.rar", "a x.rar f -m6", "a x.rar f -s9",
                                  "x x.rar --verbose", "x x.rar -m5", "a x.rar f -f", "x x.rar -o"}) {
        const SddRun run = sdd(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_NE(run.output.find("sdd --help"), std::string::npos) << run.output;
    }
}

TEST_F(SddTool, AddsToAnExistingArchiveReplacingMembersOfTheSameName) {
    writeBytes(folder / "in" / "a.txt", bytesOf("first a"));
    writeBytes(folder / "in" / "b.txt", bytesOf("first b"));
    writeBytes(folder / "new" / "b.txt", bytesOf("second b, replacing the first"));
    writeBytes(folder / "new" / "c.txt", bytesOf("c, added"));
    for (const char* options : {"-m3", "-m5 -s"}) {
        SCOPED_TRACE(options);
        const fs::path archive = folder / (std::string("show") + options[2] + ".sdd");
        ASSERT_EQ(sdd("a " + quoted(archive) + " " + options + " a.txt b.txt", folder / "in").exitCode, 0);
        // Added without -s: a solid archive stays solid, packed again as one stream.
        SddRun add = sdd("a " + quoted(archive) + " b.txt c.txt", folder / "new");
        ASSERT_EQ(add.exitCode, 0) << add.output;
        SddRun list = sdd("l " + quoted(archive));
        EXPECT_NE(list.output.find("a.txt"), std::string::npos) << list.output;
        EXPECT_EQ(std::string(options).find("-s") != std::string::npos,
                  list.output.find("(solid)") != std::string::npos)
            << list.output;
        // Added without a level, a solid archive is packed again at the level it was made with, not the
        // default one: adding a file does not undo -m5.
        if (list.output.find("(solid)") != std::string::npos) {
            EXPECT_TRUE(list.output.find(" m5 ") != std::string::npos &&
                        list.output.find(" m3 ") == std::string::npos)
                << list.output;
        }
        EXPECT_EQ(sdd("p " + quoted(archive) + " a.txt").output, "first a");
        EXPECT_EQ(sdd("p " + quoted(archive) + " b.txt").output, "second b, replacing the first");
        EXPECT_EQ(sdd("p " + quoted(archive) + " c.txt").output, "c, added");
        EXPECT_NE(sdd("t " + quoted(archive)).output.find("3 members, 0 failed"), std::string::npos);
    }
    // Members kept from another archiver's archive keep their names' Unicode form.
    fs::copy_file(vectors / "Rar2.rar", folder / "real.rar");
    const SddRun real = sdd("a " + quoted(folder / "real.rar") + " c.txt", folder / "new");
    ASSERT_EQ(real.exitCode, 0) << real.output;
    const std::string list = sdd("l " + quoted(folder / "real.rar")).output;
    EXPECT_NE(list.find(" \u0442\u0435\u0441\u0442.txt\n"), std::string::npos) << list;
}

// Adding to an archive that is not solid copies its members as they are, whatever level is asked for now:
// the archive comes back byte for byte with the new member after it, which costs only itself.
TEST_F(SddTool, AddingCopiesTheMembersOfAnArchiveAsTheyAre) {
    std::string words;
    for (int i = 0; i < 20000; ++i)
        words += "planet " + std::to_string(i % 97) + (i % 13 == 0 ? "\n" : " ");
    std::vector<std::uint8_t> samples;
    for (int i = 0; i < 100000; ++i)
        samples.push_back(static_cast<std::uint8_t>(128 + 100 * std::sin(i * 0.01)));
    writeBytes(folder / "in" / "words.txt", bytesOf(words));
    writeBytes(folder / "in" / "sound.raw", samples);
    writeBytes(folder / "new" / "small.txt", bytesOf("small"));
    const fs::path archive = folder / "show.sdd";
    ASSERT_EQ(sdd("a " + quoted(archive) + " -m5 -mm words.txt sound.raw", folder / "in").exitCode, 0);
    const std::vector<std::uint8_t> before = readBytes(archive);

    const SddRun add = sdd("a " + quoted(archive) + " -m0 small.txt", folder / "new");
    ASSERT_EQ(add.exitCode, 0) << add.output;
    const std::vector<std::uint8_t> after = readBytes(archive);
    ASSERT_GT(after.size(), before.size());
    EXPECT_LT(after.size(), before.size() + 64);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    EXPECT_EQ(sdd("p " + quoted(archive) + " words.txt").output, words);
    EXPECT_TRUE(contains(sdd("l " + quoted(archive)).output, "m5")) << sdd("l " + quoted(archive)).output;

    // A stored member streams from its file in chunks.
    writeBytes(folder / "new" / "again.raw", samples);
    ASSERT_EQ(sdd("a " + quoted(archive) + " -m0 again.raw", folder / "new").exitCode, 0);
    EXPECT_EQ(readBytes(archive).size(), after.size() + 32 + 9 + samples.size());
    const std::string again = sdd("p " + quoted(archive) + " again.raw").output;
    EXPECT_TRUE(std::vector<std::uint8_t>(again.begin(), again.end()) == samples);
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
    // No method is known beyond level 5: the member must be refused, not lost from the archive.
    for (bool solid : {false, true})
        EXPECT_FALSE(
            ArchivePacker(PackOptions{6, solid, false}).add("a.txt", std::vector<std::uint8_t>(100, 'a')));
}

// The check behind every `a`: each member read back through our unpacker must match its input.
TEST(ArchiveVerify, NamesTheFirstMemberThatDoesNotReadBackAsWritten) {
    ArchivePacker packer(PackOptions{3, true, false});
    std::string text;
    for (int i = 0; text.size() < 5000; ++i)
        text += "moon " + std::to_string(i % 13) + " ";
    const char* names[] = {"one.txt", "dir/two.txt"};
    for (const char* name : names)
        ASSERT_TRUE(packer.add(name, bytesOf(text)));
    const std::vector<std::uint8_t> good = packer.finish().bytes();
    // What was written, with the second member's CRC changed by `crcChange`, `count` members of it, and a
    // member that was never written when `extra`.
    const auto written = [&](std::uint32_t crcChange = 0, int count = 2, bool extra = false) {
        WrittenMembers members;
        for (int i = 0; i < count; ++i)
            members.add(names[i], static_cast<std::uint32_t>(text.size()),
                        crc32(bytesOf(text)) ^ (i == 1 ? crcChange : 0));
        if (extra)
            members.add("three.txt", {});
        return members;
    };
    std::string member, reason;
    MemoryArchiveSource source(good);
    EXPECT_TRUE(verifyArchive(source, written(), member, reason)) << member << ": " << reason;
    EXPECT_FALSE(verifyArchive(source, written(1), member, reason));
    EXPECT_EQ(member, "dir\\two.txt");
    EXPECT_FALSE(verifyArchive(source, written(0, 1), member, reason));
    EXPECT_EQ(member, "dir\\two.txt");
    EXPECT_FALSE(verifyArchive(source, written(0, 2, true), member, reason));
    EXPECT_EQ(member, "three.txt");
    std::vector<MemberHeader> headers;
    ASSERT_EQ(listMembers(source, headers), ExtractResult::ok);
    std::vector<std::uint8_t> damaged = good;
    damaged[headers[0].dataOffset + headers[0].packSize / 2] ^= 0x10;
    MemoryArchiveSource damagedSource(damaged);
    EXPECT_FALSE(verifyArchive(damagedSource, written(), member, reason));
    EXPECT_EQ(member, "one.txt") << reason;
}

// A large file is read once, as it is packed: its CRC is found then, and a file that changed meanwhile (its
// size or times) makes the archive unusable rather than hold a torn member.
TEST(ArchivePacker, AMemberReadOnceGivesItsCrcAndFailsWhenItChanged) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; bytes.size() < (3u << 19); ++i)
        for (char c : "moon " + std::to_string(i % 977) + " ")
            bytes.push_back(static_cast<std::uint8_t>(c));
    for (const bool solid : {false, true})
        for (const bool changed : {false, true}) {
            SCOPED_TRACE(std::string(solid ? "solid" : "not solid") + (changed ? ", changed" : ""));
            std::uint32_t reported = 0;
            ArchivePacker packer(PackOptions{1, solid, false},
                                 [&](std::size_t, std::uint32_t crc) { reported = crc; });
            std::size_t at = 0;
            const MemberSource source{static_cast<std::uint32_t>(bytes.size()),
                                      0,
                                      [&](std::span<std::uint8_t> into) {
                                          std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                                      into.size(), into.begin());
                                          at += into.size();
                                          return true;
                                      },
                                      [&] { return (at = 0) == 0; },
                                      false,
                                      [&] { return !changed; }};
            ASSERT_TRUE(packer.addFrom("big.txt", defaultMemberTime, {}, source));
            const std::vector<std::uint8_t> archive = packer.finish().bytes();
            EXPECT_EQ(packer.good(), !changed);
            if (changed)
                continue;
            EXPECT_EQ(reported, crc32(bytes));
            MemoryArchiveSource written(archive);
            std::vector<MemberHeader> headers;
            ASSERT_EQ(listMembers(written, headers), ExtractResult::ok);
            ASSERT_EQ(headers.size(), 1u);
            EXPECT_EQ(headers[0].fileCrc, crc32(bytes));
            EXPECT_LT(headers[0].packSize, bytes.size());
        }
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
        SddRun run =
            sdd(command + " " + quoted(archive) + (command == "x" ? " -o " + quoted(folder / "out") : ""));
        EXPECT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("22 bytes after the last whole member"), std::string::npos) << run.output;
    }
    EXPECT_EQ(readBytes(folder / "out" / "b.txt"),
              std::vector<std::uint8_t>(bytesOf("second member").begin(), bytesOf("second member").end()));
}

// One flipped bit or a cut in a header costs that member alone: l, t, x and p say so and exit 3, the
// members around it still come out, and `a` refuses to rewrite the archive, leaving it as it was.
TEST_F(SddTool, DamagedHeadersAreReportedAndCostOnlyTheirMember) {
    std::vector<std::string> texts;
    std::string files;
    for (int i = 1; i <= 5; ++i) {
        std::string text;
        for (int line = 0; text.size() < 3000; ++line)
            text += "member " + std::to_string(i) + " line " + std::to_string(line * i % 97) + "\n";
        texts.push_back(text);
        writeBytes(folder / "in" / ("f" + std::to_string(i) + ".txt"), bytesOf(text));
        files += " f" + std::to_string(i) + ".txt";
    }
    const fs::path good = folder / "in" / "five.sdd";
    ASSERT_EQ(sdd("a " + quoted(good) + files, folder / "in").exitCode, 0);
    const std::vector<std::uint8_t> bytes = readBytes(good);
    MemoryArchiveSource source(bytes);
    std::vector<MemberHeader> headers;
    ASSERT_EQ(listMembers(source, headers), ExtractResult::ok);
    const std::size_t second = headers[1].headerOffset, third = headers[2].headerOffset;
    writeBytes(folder / "new.txt", bytesOf("new"));

    struct Damage {
        std::string what;
        std::vector<std::uint8_t> archive;
        std::set<int> lost; // the members that cannot come out
    };
    std::vector<Damage> damages;
    const auto flipped = [&](std::size_t at, std::uint8_t mask) {
        std::vector<std::uint8_t> archive = bytes;
        archive[at] ^= mask;
        return archive;
    };
    damages.push_back({"packed size", flipped(second + 9, 0x10), {2}});
    damages.push_back({"block type", flipped(second + 2, 0x01), {2}});
    damages.push_back({"name", flipped(second + 33, 0x01), {2}});
    damages.push_back({"main header", flipped(7 + 9, 0x01), {}});
    // The packed size made wrong and the header's CRC made again to match: the walk lands inside packed data.
    std::vector<std::uint8_t> resealed = flipped(second + 7, 0x08);
    const std::size_t headSize = resealed[second + 5] | resealed[second + 6] << 8;
    const std::uint32_t headCrc = crc32(std::span(resealed).subspan(second + 2, headSize - 2));
    resealed[second] = headCrc & 0xFF;
    resealed[second + 1] = headCrc >> 8 & 0xFF;
    damages.push_back({"packed size, header sealed again", resealed, {2}});
    for (std::size_t cut : {3, 20, 40, 60})
        damages.push_back({"cut " + std::to_string(cut),
                           std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + third + cut),
                           {3, 4, 5}});

    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        const fs::path archive = folder / "damaged.sdd";
        writeBytes(archive, damage.archive);
        setModificationTime(archive, localTime(2020, 1, 2, 3, 4, 5));
        for (const std::string command : {"l", "t"}) {
            const SddRun run = sdd(command + " " + quoted(archive));
            EXPECT_EQ(run.exitCode, 3) << run.output;
            EXPECT_TRUE(contains(run.output, "damaged.sdd: .*(header|past the end)")) << run.output;
            // Damage is named by the member it hit, or by where it lies: never by bytes read as a name.
            EXPECT_FALSE(contains(run.output, "damaged.sdd: [^:\n]*\\\\x")) << run.output;
        }
        fs::remove_all(folder / "out");
        const SddRun extract = sdd("x " + quoted(archive) + " -o " + quoted(folder / "out"));
        EXPECT_EQ(extract.exitCode, 3) << extract.output;
        for (int i = 1; i <= 5; ++i) {
            const fs::path file = folder / "out" / ("f" + std::to_string(i) + ".txt");
            if (damage.lost.count(i))
                EXPECT_FALSE(fs::exists(file)) << file;
            else
                EXPECT_EQ(readText(file), texts[i - 1]) << file;
        }
        EXPECT_EQ(sdd("p " + quoted(archive) + " f1.txt", {}, "2>/dev/null").output, texts[0]);

        const SddRun add = sdd("a " + quoted(archive) + " " + quoted(folder / "new.txt"));
        EXPECT_EQ(add.exitCode, 3) << add.output;
        EXPECT_TRUE(contains(add.output, "left as it was")) << add.output;
        EXPECT_EQ(readBytes(archive), damage.archive);
        EXPECT_EQ(modificationTime(archive), localTime(2020, 1, 2, 3, 4, 5));
    }
}

// Runs of `a` at once on one archive, new or already there, wait for each other: every member stays.
TEST_F(SddTool, ConcurrentAddsToOneArchiveKeepEveryMember) {
    const fs::path archive = folder / "shared.sdd";
    std::string runs;
    for (int round = 0; round < 2; ++round) {
        runs.clear();
        for (int i = 0; i < 4; ++i) {
            const std::string name = "r" + std::to_string(round) + "m" + std::to_string(i) + ".txt";
            writeBytes(folder / name, bytesOf(std::string(20000 + i, static_cast<char>('a' + i)) + name));
            runs += std::string(SDD_PATH) + " a " + quoted(archive) + " " + name + " 2>/dev/null & ";
        }
        ASSERT_EQ(std::system(("cd " + quoted(folder) + " && { " + runs + "wait; }").c_str()), 0);
        const SddRun test = sdd("t " + quoted(archive));
        EXPECT_NE(test.output.find(std::to_string(4 * (round + 1)) + " members, 0 failed"), std::string::npos)
            << test.output;
    }
}

// `a` on one archive waits only for runs on that archive, new or not; a named pipe is no archive, and as a
// file to add it is named and left out: nothing waits for a writer that never comes, and a pipe alone makes
// no empty archive.
TEST_F(SddTool, EachArchiveIsLockedAloneAndAPipeIsNeverWaitedOn) {
    writeBytes(folder / "f.txt", bytesOf("f"));
    ASSERT_EQ(::mkfifo((folder / "pipe.sdd").c_str(), 0600), 0);
    const std::string inTime = "timeout 20 " + std::string(SDD_PATH);
    for (const char* command :
         {"l pipe.sdd", "t pipe.sdd", "x pipe.sdd", "p pipe.sdd f.txt", "a pipe.sdd f.txt"}) {
        const SddRun run = sdd(command, folder, "2>&1", inTime);
        EXPECT_EQ(run.exitCode, command[0] == 'a' ? 1 : 3) << command << ": " << run.output;
        EXPECT_NE(run.output.find("not a regular file"), std::string::npos) << run.output;
    }
    const SddRun operand = sdd("a files.sdd pipe.sdd f.txt", folder, "2>&1", inTime);
    EXPECT_EQ(operand.exitCode, 1) << operand.output;
    EXPECT_NE(operand.output.find("pipe.sdd: not a file"), std::string::npos) << operand.output;
    EXPECT_NE(sdd("t files.sdd", folder).output.find("1 member, 0 failed"), std::string::npos);
    // With nothing else to add, no archive is made at all.
    const SddRun onlyPipe = sdd("a lone.sdd pipe.sdd", folder, "2>&1", inTime);
    EXPECT_EQ(onlyPipe.exitCode, 1) << onlyPipe.output;
    EXPECT_NE(onlyPipe.output.find("nothing could be added; no archive written"), std::string::npos)
        << onlyPipe.output;
    EXPECT_FALSE(fs::exists(folder / "lone.sdd"));

    {
        std::string reason;
        const std::optional<ArchiveLock> held =
            ArchiveLock::acquire((folder / "first.sdd").string(), [] {}, reason);
        ASSERT_TRUE(held) << reason;
        const SddRun other = sdd("a second.sdd f.txt", folder, "2>&1", inTime);
        EXPECT_EQ(other.exitCode, 0) << other.output;
        EXPECT_EQ(other.output.find("waiting"), std::string::npos) << other.output;
        const SddRun same = sdd("a first.sdd f.txt", folder, "2>&1", "timeout 5 " + std::string(SDD_PATH));
        EXPECT_EQ(same.exitCode, 124) << same.output;
        EXPECT_NE(same.output.find("waiting for another sdd"), std::string::npos) << same.output;
    }
    EXPECT_EQ(sdd("a first.sdd f.txt", folder).exitCode, 0);
    EXPECT_FALSE(fs::exists(ArchiveLock::lockFileFor((folder / "first.sdd").string())));
}

// Rewriting a solid archive packs its members again as they are decoded: a member of any size costs the
// window, not its size.
TEST_F(SddTool, RewritingASolidArchiveHoldsNoMemberWhole) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer holds freed memory back to catch late uses: peaks say nothing there";
#endif
    std::ofstream(folder / "large.bin").close();
    fs::resize_file(folder / "large.bin", 96u << 20); // sparse: cheap to make, quick to pack
    writeBytes(folder / "small.txt", bytesOf("small"));
    ASSERT_EQ(sdd("a solid.sdd large.bin -m1 -s", folder).exitCode, 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::chdir(folder.c_str());
        ::execl(SDD_PATH, SDD_PATH, "a", "solid.sdd", "small.txt", "-m1", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_LT(usage.ru_maxrss, 64 * 1024) << "KiB at the peak";
    EXPECT_NE(sdd("t solid.sdd", folder).output.find("2 members, 0 failed"), std::string::npos);
}

// A member whose packed stream is larger than the packer keeps in memory waits in an unnamed file in $TMPDIR,
// solid or not, and comes back byte for byte; a temporary folder that cannot take it is named as the reason,
// not blamed on the file being packed.
TEST_F(SddTool, APackedStreamBeyondMemoryWaitsInTmpdirAndItsFailureIsNamed) {
    std::vector<std::uint8_t> halfRandom(3u << 20);
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : halfRandom) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 28); // four bits of noise: packs to about half
    }
    writeBytes(folder / "in" / "noise.bin", halfRandom);
    const fs::path temporary = folder / "tmp";
    fs::create_directories(temporary);
    const std::string inTemporary = "TMPDIR=" + quoted(temporary) + " " SDD_PATH;
    for (const char* solid : {"", " -s"}) {
        SddRun add =
            sdd(std::string("a ../noise.sdd noise.bin -m1") + solid, folder / "in", "2>&1", inTemporary);
        ASSERT_EQ(add.exitCode, 0) << add.output;
        SddRun back = sdd("p noise.sdd noise.bin", folder, "2>/dev/null");
        EXPECT_TRUE(back.output.size() == halfRandom.size() &&
                    std::equal(halfRandom.begin(), halfRandom.end(), back.output.begin()))
            << solid;
        EXPECT_TRUE(fs::is_empty(temporary)) << "the waiting stream's file is left behind";
        fs::remove(folder / "noise.sdd");
    }
    const std::string nowhere = "TMPDIR=" + quoted(folder / "gone") + " " SDD_PATH;
    SddRun add = sdd("a ../noise.sdd noise.bin -m1", folder / "in", "2>&1", nowhere);
    EXPECT_EQ(add.exitCode, 1) << add.output;
    EXPECT_NE(add.output.find("cannot make a temporary file in " + (folder / "gone").string() +
                              ": No such file or directory; no archive written"),
              std::string::npos)
        << add.output;
    EXPECT_FALSE(fs::exists(folder / "noise.sdd"));
}

// An interrupted `a` leaves no temporary file, and the archive as it was; it dies of the signal.
// SIGINT or SIGTERM in the middle of `a` or `x` leaves no temporary file, and nothing under the target's name
// that was not there before.
TEST_F(SddTool, AnInterruptedRunRemovesItsTemporaryFile) {
    writeBytes(folder / "small.txt", bytesOf("small"));
    ASSERT_EQ(sdd("a show.sdd small.txt", folder).exitCode, 0);
    const std::vector<std::uint8_t> before = readBytes(folder / "show.sdd");
    // Large enough that writing and reading back the new archive takes a while; sparse, so cheap to make.
    std::ofstream(folder / "large.bin").close();
    fs::resize_file(folder / "large.bin", 40u << 20);
    ASSERT_EQ(sdd("a large.sdd large.bin -m0", folder).exitCode, 0);
    fs::create_directories(folder / "out");
    struct Run {
        std::vector<const char*> arguments;
        fs::path watched;
        std::string temporaryPrefix;
    };
    const Run runs[] = {{{"a", "show.sdd", "large.bin", "-m0"}, folder, ".show.sdd.sdd-"},
                        {{"x", "large.sdd", "-o", "out"}, folder / "out", ".large.bin.sdd-"}};
    for (const Run& run : runs)
        for (int signal : {SIGINT, SIGTERM}) {
            SCOPED_TRACE(std::string(run.arguments[0]) + " " + std::to_string(signal));
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                ::chdir(folder.c_str());
                std::vector<char*> argv{const_cast<char*>(SDD_PATH)};
                for (const char* argument : run.arguments)
                    argv.push_back(const_cast<char*>(argument));
                argv.push_back(nullptr);
                ::execv(SDD_PATH, argv.data());
                ::_exit(127);
            }
            const auto temporaryThere = [&] {
                for (const auto& entry : fs::directory_iterator(run.watched))
                    if (entry.path().filename().string().starts_with(run.temporaryPrefix))
                        return true;
                return false;
            };
            int status = 0;
            bool seen = false;
            while (!(seen = temporaryThere()) && ::waitpid(child, &status, WNOHANG) == 0)
                ::usleep(500);
            ASSERT_TRUE(seen) << "the run ended before its temporary file was seen";
            ::kill(child, signal);
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            EXPECT_FALSE(temporaryThere());
            EXPECT_EQ(readBytes(folder / "show.sdd"), before);
            EXPECT_FALSE(fs::exists(folder / "out" / "large.bin"));
        }
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

TEST_F(SddTool, HelpVersionAndTheManualAgree) {
    const SddRun help = sdd("--help", {}, "2>/dev/null");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(sdd("x x.rar -h", {}, "2>/dev/null").output, help.output);
    const std::set<std::string> helpOptions = optionsIn(help.output);
    for (const char* option : {"-o", "-f", "-m0", "-m5", "-s", "-mm", "--help", "--version"})
        EXPECT_TRUE(helpOptions.count(option)) << option << " missing from --help:\n" << help.output;

    const SddRun version = sdd("--version", {}, "2>/dev/null");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(contains(version.output, R"(^sdd \(Heliox\) [0-9]+\.[0-9]+)")) << version.output;

    const std::string manual = readText(SDD_MANUAL);
    EXPECT_EQ(manual.rfind(".TH SDD 1 ", 0), 0u);
    EXPECT_EQ(manual.find('@'), std::string::npos) << "a placeholder was left unfilled";
    EXPECT_EQ(optionsIn(manual), helpOptions) << "the manual and --help name different options";
    if (std::system("command -v groff >/dev/null") == 0) {
        const std::string format = "groff -man -ww -z " + quoted(SDD_MANUAL) + " 2>&1";
        FILE* pipe = popen(format.c_str(), "r");
        char buffer[512];
        std::string warnings;
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            warnings.append(buffer, n);
        EXPECT_EQ(pclose(pipe), 0);
        EXPECT_EQ(warnings, "") << "groff warns about the manual";
    }
}

TEST_F(SddTool, ListsEveryArchiveGivenWithSizesRatioDateAttributesAndTotals) {
    ArchiveWriter writer;
    writer.addStored("bad\x1B[31m\nname.txt", bytesOf("x"), dosTime(2024, 5, 6, 7, 8, 10));
    ASSERT_TRUE(writer.save((folder / "control.rar").string()));
    const std::string rar2 = quoted(vectors / "Rar2.rar"),
                      unixOwner = quoted(vectors / "rar2-unix-owner.rar");
    const SddRun list = sdd("l " + rar2 + " " + quoted(folder / "missing.rar") + " " +
                            quoted(folder / "control.rar") + " " + unixOwner);
    EXPECT_EQ(list.exitCode, 3) << "one archive is missing";
    const std::string& out = list.output;
    EXPECT_TRUE(
        contains(out, R"(\.\.\.\.A +45056 +18349 +41% +2022-02-14 09:38 +CFB109C8 +m5 +exe\\test\.exe)"))
        << out;
    EXPECT_TRUE(contains(out, R"(D\.\.\.\. +0 +0 +0% +2022-02-15 12:08 .* exe\\\n)")) << out;
    EXPECT_TRUE(contains(out, " 15498 .* \u0442\u0435\u0441\u0442\\.txt\n")) << out;
    EXPECT_TRUE(contains(out, R"(\n +100926 +60007 +59% +5 members\n)")) << out;
    EXPECT_TRUE(contains(out, R"(-rw-rw-r-- +4 +17 .*file\.txt\n)")) << out;
    EXPECT_TRUE(contains(out, R"( 1 member\n)")) << out;
    EXPECT_NE(out.find("missing.rar: cannot open"), std::string::npos) << out;
    // A name cannot act on the terminal: its escape sequence and line break are shown, not sent.
    EXPECT_TRUE(contains(out, R"(2024-05-06 07:08 .* bad\\x1B\[31m\\x0Aname\.txt\n)")) << out;
    EXPECT_EQ(out.find('\x1B'), std::string::npos) << out;

    const SddRun test = sdd("t " + rar2 + " " + unixOwner);
    EXPECT_EQ(test.exitCode, 0) << test.output;
    EXPECT_NE(test.output.find("Rar2.rar: 5 members, 0 failed"), std::string::npos) << test.output;
    EXPECT_NE(test.output.find("owner.rar: 1 member, 0 failed"), std::string::npos) << test.output;
}

TEST_F(SddTool, ExtractionRestoresDatesAndKeepsFilesThatAreThereUnlessForced) {
    ArchiveWriter writer;
    writer.addStored("notes\\a.txt", bytesOf("from the archive"), dosTime(2019, 8, 7, 6, 5, 4));
    ASSERT_TRUE(writer.save((folder / "notes.rar").string()));
    const std::string extract = "x " + quoted(folder / "notes.rar") + " -o " + quoted(folder / "out");
    const fs::path file = folder / "out" / "notes" / "a.txt";
    ASSERT_EQ(sdd(extract).exitCode, 0);
    EXPECT_EQ(modificationTime(file), localTime(2019, 8, 7, 6, 5, 4));

    writeBytes(file, bytesOf("edited by the user"));
    const SddRun again = sdd(extract);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.output.find("notes\\a.txt: skipped, "), std::string::npos) << again.output;
    EXPECT_NE(again.output.find("-f"), std::string::npos) << again.output;
    EXPECT_EQ(readText(file), "edited by the user");

    // -f replaces the file whole: a hard link to it, which may lead out of the folder, keeps what it held.
    fs::create_hard_link(file, folder / "outside.txt");
    const SddRun forced = sdd(extract + " -f");
    EXPECT_EQ(forced.exitCode, 0) << forced.output;
    EXPECT_EQ(readText(file), "from the archive");
    EXPECT_EQ(readText(folder / "outside.txt"), "edited by the user");
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
}

// The names in a folder, temporary files included.
std::set<std::string> namesIn(const fs::path& path) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(path))
        names.insert(entry.path().filename().string());
    return names;
}

// A member that fails its check leaves nothing under its name and no temporary file beside it, and a file
// already there keeps what it held even with -f; -kb keeps the damaged bytes under the name and says so.
// Either way the run exits as one that met damage.
TEST_F(SddTool, ExtractionNeverLeavesADamagedFileUnlessAskedTo) {
    ArchiveWriter writer;
    writer.addStored("good.txt", bytesOf("whole"));
    writer.addStored("bad.txt", bytesOf("damaged member"));
    std::vector<std::uint8_t> bytes = writer.bytes();
    bytes.back() ^= 0x01;
    const fs::path archive = folder / "bad.rar";
    writeBytes(archive, bytes);
    const std::string extract = "x " + quoted(archive) + " -o " + quoted(folder / "out");
    const fs::path bad = folder / "out" / "bad.txt";

    const SddRun plain = sdd(extract);
    EXPECT_EQ(plain.exitCode, 3) << plain.output;
    EXPECT_TRUE(contains(plain.output, "bad.txt: CRC mismatch")) << plain.output;
    EXPECT_EQ(namesIn(folder / "out"), std::set<std::string>{"good.txt"});

    writeBytes(bad, bytesOf("the user's own"));
    const SddRun forced = sdd(extract + " -f");
    EXPECT_EQ(forced.exitCode, 3) << forced.output;
    EXPECT_EQ(readText(bad), "the user's own");
    EXPECT_EQ(namesIn(folder / "out"), (std::set<std::string>{"bad.txt", "good.txt"}));

    const SddRun kept = sdd(extract + " -f -kb");
    EXPECT_EQ(kept.exitCode, 3) << kept.output;
    EXPECT_TRUE(contains(kept.output, "bad.txt: CRC mismatch; its damaged bytes are kept in")) << kept.output;
    EXPECT_EQ(readText(bad), "damaged membes");
    EXPECT_EQ(namesIn(folder / "out"), (std::set<std::string>{"bad.txt", "good.txt"}));
}

TEST_F(SddTool, PatternsSelectWhatXAndPTake) {
    ArchiveWriter writer;
    for (const auto& [name, bytes] : std::map<std::string, std::string>{{"d.jpg", "D"},
                                                                        {"textures\\a.jpg", "A"},
                                                                        {"textures\\b.png", "B"},
                                                                        {"textures\\moons\\c.jpg", "C"}})
        writer.addStored(name, bytesOf(bytes));
    const fs::path archive = folder / "show.rar";
    ASSERT_TRUE(writer.save(archive.string()));
    const auto filesIn = [](const fs::path& out) {
        std::set<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(out))
            if (entry.is_regular_file())
                files.insert(entry.path().lexically_relative(out).generic_string());
        return files;
    };

    // As in unar, a wildcard reaches into folders.
    ASSERT_EQ(sdd("x " + quoted(archive) + " '*.jpg' -o " + quoted(folder / "jpg")).exitCode, 0);
    EXPECT_EQ(filesIn(folder / "jpg"),
              (std::set<std::string>{"d.jpg", "textures/a.jpg", "textures/moons/c.jpg"}));
    ASSERT_EQ(sdd("x " + quoted(archive) + " textures -o " + quoted(folder / "all")).exitCode, 0);
    EXPECT_EQ(filesIn(folder / "all"),
              (std::set<std::string>{"textures/a.jpg", "textures/b.png", "textures/moons/c.jpg"}));

    const SddRun print = sdd("p " + quoted(archive) + " 'textures\\*.jp?' d.jpg");
    EXPECT_EQ(print.exitCode, 0);
    EXPECT_EQ(print.output, "DAC"); // in archive order
    const SddRun none = sdd("p " + quoted(archive) + " d.jpg '*.gif'");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.output.find("*.gif: no member of that name"), std::string::npos) << none.output;
}

TEST_F(SddTool, AddsFoldersWithEverythingInThemAndTheirDates) {
    writeBytes(folder / "in" / "show" / "script.txt", bytesOf("script"));
    writeBytes(folder / "in" / "show" / "textures" / "moons" / "io.jpg", bytesOf("io"));
    const std::time_t scriptTime = localTime(2021, 3, 4, 5, 6, 8);
    setModificationTime(folder / "in" / "show" / "script.txt", scriptTime);
    fs::create_directory_symlink("/etc", folder / "in" / "show" / "link");
    ASSERT_EQ(::mkfifo((folder / "in" / "show" / "pipe").c_str(), 0600), 0);

    const fs::path archive = folder / "show.sdd";
    const SddRun add = sdd("a " + quoted(archive) + " show", folder / "in");
    ASSERT_EQ(add.exitCode, 0) << add.output;
    EXPECT_NE(add.output.find("show/link: warning: a symbolic link, not stored"), std::string::npos)
        << add.output;
    EXPECT_NE(add.output.find("show/pipe: warning: not a regular file"), std::string::npos) << add.output;
    EXPECT_EQ(sdd("p " + quoted(archive) + " 'show\\textures\\moons\\io.jpg'").output, "io");
    EXPECT_NE(sdd("t " + quoted(archive)).output.find("2 members, 0 failed"), std::string::npos);
    ASSERT_EQ(sdd("x " + quoted(archive) + " -o " + quoted(folder / "out")).exitCode, 0);
    EXPECT_EQ(modificationTime(folder / "out" / "show" / "script.txt"), scriptTime);

    // Reproducible builds: no time after SOURCE_DATE_EPOCH, taken in UTC.
    ::setenv("SOURCE_DATE_EPOCH", "1704067200", 1); // 2024-01-01 00:00 UTC
    const SddRun fixed = sdd("a " + quoted(folder / "fixed.sdd") + " show", folder / "in");
    ::unsetenv("SOURCE_DATE_EPOCH");
    ASSERT_EQ(fixed.exitCode, 0) << fixed.output;
    const std::string fixedList = sdd("l " + quoted(folder / "fixed.sdd")).output;
    EXPECT_TRUE(contains(fixedList, R"(2024-01-01 00:00 .* show\\textures\\moons\\io\.jpg)")) << fixedList;
    EXPECT_TRUE(contains(fixedList, R"(2021-03-04 [0-9:]+ .* show\\script\.txt)")) << fixedList;

    // The archive inside the folder it packs, made and then added to: never a member of itself.
    for (int time = 0; time < 2; ++time) {
        const SddRun self = sdd("a self.sdd .", folder / "in" / "show");
        ASSERT_EQ(self.exitCode, 0) << self.output;
    }
    const SddRun list = sdd("l " + quoted(folder / "in" / "show" / "self.sdd"));
    EXPECT_NE(list.output.find(" textures\\moons\\io.jpg\n"), std::string::npos) << list.output;
    EXPECT_EQ(list.output.find(" self.sdd\n"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find(" 2 members"), std::string::npos) << list.output;
}

} // namespace

namespace {

// Names are what the user gave: exact on a system that tells case apart, any script through the format's
// Unicode form, every byte of a name that is not UTF-8; and every reader gives them back.
TEST_F(SddTool, StoresNamesAsGivenForEveryReader) {
    const std::string latin1 = "d/caf\xE9.txt"; // not UTF-8: no reader can know what it meant
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& [name, text] : std::map<std::string, std::string>{
             {"d/readme", "lower"},
             {"d/xt_CONNMARK.h", "upper h"},
             {"d/xt_connmark.h", "lower h"},
             {"d/\u0442\u0435\u0441\u0442.txt", "cyrillic"},
             {"d/\u65E5\u672C/caf\u00E9 \U0001F600.txt", "cjk, latin and an emoji"},
             {latin1, "latin-1"},
             {"key=value", "a file whose name has '='"}}) {
        files[name].assign(text.begin(), text.end());
        writeBytes(folder / "in" / name, files[name]);
    }
    const fs::path archive = folder / "names.sdd";
    const SddRun add = sdd("a " + quoted(archive) + " d key=value", folder / "in");
    ASSERT_EQ(add.exitCode, 0) << add.output;
    EXPECT_EQ(occurrences(add.output, "only in case"), 1u) << add.output;
    EXPECT_NE(add.output.find("xt_connmark.h: warning: differs from d\\xt_CONNMARK.h only in case"),
              std::string::npos)
        << add.output;
    // Added to the archive, README stands beside readme; the exact name alone is replaced.
    files["d/README"] = {'U'};
    files["d/readme"] = {'l'};
    writeBytes(folder / "in" / "d" / "README", files["d/README"]);
    writeBytes(folder / "in" / "d" / "readme", files["d/readme"]);
    const SddRun readme = sdd("a " + quoted(archive) + " d/README d/readme", folder / "in");
    EXPECT_EQ(readme.exitCode, 0) << readme.output;
    EXPECT_EQ(occurrences(readme.output, "only in case"), 1u) << readme.output;

    ASSERT_EQ(sdd("x " + quoted(archive) + " -o " + quoted(folder / "sdd")).exitCode, 0);
    EXPECT_EQ(filesUnder(folder / "sdd"), files);
    for (const ReferenceExtraction& other :
         {extractWithUnar(archive, folder / "unar"), extractWithNodeUnrar(archive, folder / "node")}) {
        ASSERT_EQ(other.error, "");
        EXPECT_EQ(other.members.size(), files.size());
        for (const auto& [name, bytes] : files)
            if (name != latin1) {
                const auto found = other.members.find(name);
                EXPECT_TRUE(found != other.members.end() && found->second == bytes) << name;
            }
    }
}

} // namespace

namespace {

mode_t permissionsOf(const fs::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// Modes and empty folders come back from our extraction and from unar's, less the umask and never with a
// set-id bit; adding to the archive keeps both.
TEST_F(SddTool, KeepsUnixModesAndEmptyFolders) {
    const fs::path tree = folder / "in" / "tree";
    const std::map<std::string, mode_t> modes = {
        {"run.sh", 0755}, {"private.key", 0600}, {"setuid", 04777}, {"empty", 0750}};
    for (const auto& [name, mode] : modes) {
        if (name == "empty")
            fs::create_directories(tree / name);
        else
            writeBytes(tree / name, bytesOf(name));
        ::chmod((tree / name).c_str(), mode);
    }
    const fs::path archive = folder / "modes.sdd";
    ASSERT_EQ(sdd("a " + quoted(archive) + " tree", folder / "in").exitCode, 0);
    writeBytes(folder / "in" / "later.txt", bytesOf("added later"));
    fs::create_directories(folder / "in" / "bare"); // an empty folder given as it is
    ASSERT_EQ(sdd("a " + quoted(archive) + " later.txt bare", folder / "in").exitCode, 0);
    const std::string list = sdd("l " + quoted(archive)).output;
    EXPECT_TRUE(contains(list, R"(-rwxr-xr-x .* tree\\run\.sh\n)")) << list;
    EXPECT_TRUE(contains(list, R"(drwxr-x--- .* tree\\empty\\\n)")) << list;

    const mode_t mask = ::umask(027);
    ASSERT_EQ(sdd("x " + quoted(archive) + " -o " + quoted(folder / "sdd")).exitCode, 0);
    ASSERT_EQ(extractWithUnar(archive, folder / "unar").error, "");
    ::umask(mask);
    for (const char* reader : {"sdd", "unar"}) {
        SCOPED_TRACE(reader);
        const fs::path out = folder / reader / "tree";
        EXPECT_EQ(permissionsOf(out / "run.sh"), 0750u);
        EXPECT_EQ(permissionsOf(out / "private.key"), 0600u);
        EXPECT_EQ(permissionsOf(out / "setuid"), 0750u);
        EXPECT_TRUE(fs::is_directory(out / "empty"));
        EXPECT_EQ(permissionsOf(out / "empty"), 0750u);
        EXPECT_TRUE(fs::is_directory(folder / reader / "bare"));
    }
}

// A tree that cannot be read whole is stored as far as it can be read, every path left out named, status 1.
TEST_F(SddTool, StoresWhatATreeLetsItReadAndNamesTheRest) {
    const fs::path tree = folder / "in" / "tree";
    for (const char* name : {"a.txt", "locked/secret.txt", "sealed.txt", "z/z.txt"})
        writeBytes(tree / name, bytesOf(name));
    ::chmod((tree / "locked").c_str(), 0);
    ::chmod((tree / "sealed.txt").c_str(), 0);
    // Root reads everything, so there the tool runs as nobody, from a copy that user can reach.
    std::string program = SDD_PATH;
    if (::geteuid() == 0) {
        if (std::system("setpriv --version >/dev/null 2>&1") != 0) {
            ::chmod((tree / "locked").c_str(), 0755);
            GTEST_SKIP() << "root reads every file, and setpriv is missing to run the tool as another user";
        }
        fs::copy_file(SDD_PATH, folder / "sdd");
        fs::permissions(folder, fs::perms::all);
        program = "setpriv --reuid=65534 --regid=65534 --clear-groups " + quoted(folder / "sdd");
    }
    const fs::path archive = folder / "tree.sdd";
    const SddRun add = sdd("a " + quoted(archive) + " tree", folder / "in", "2>&1", program);
    ::chmod((tree / "locked").c_str(), 0755);
    EXPECT_EQ(add.exitCode, 1) << add.output;
    EXPECT_NE(add.output.find("tree/locked: cannot read the folder"), std::string::npos) << add.output;
    EXPECT_NE(add.output.find("tree/sealed.txt: cannot read: Permission denied"), std::string::npos)
        << add.output;
    const SddRun test = sdd("t " + quoted(archive));
    EXPECT_NE(test.output.find("2 members, 0 failed"), std::string::npos) << test.output;
    EXPECT_EQ(sdd("p " + quoted(archive) + " tree/z/z.txt").output, "z/z.txt");
}

} // namespace
