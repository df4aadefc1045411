// Real archives made by other archivers: every member must come out byte for byte.
#include "data/archive_reader.h"
#include "data/crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

std::string vectorPath(const char* file) {
    return std::string(HELIOX_VECTORS_DIR) + "/rar20/" + file;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct VectorMember {
    const char* archive;
    const char* name;
    std::size_t size;
    std::uint32_t crc;
};

// Sizes and CRCs as the vectors' README gives them, independent of the archives' own headers.
const VectorMember vectorMembers[] = {
    {"Rar2.rar", "exe\\test.exe", 45056, 0xcfb109c8},
    {"Rar2.rar", "jpg\\test.jpg", 40372, 0x088814e3},
    {"rar2-unix-owner.rar", "file.txt", 4, 0x7e3265a8},
    {"rar202-comment-nopsw.rar", "FILE1.TXT", 7, 0x7a197dba},
    {"rar202-comment-nopsw.rar", "FILE2.TXT", 7, 0x785fc3e3},
};

TEST(ArchiveVectors, EveryMemberComesOutByteForByte) {
    for (const VectorMember& member : vectorMembers) {
        SCOPED_TRACE(member.name);
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(ExtractMember(member.name, vectorPath(member.archive), bytes));
        EXPECT_EQ(bytes.size(), member.size);
        EXPECT_EQ(crc32(bytes), member.crc);
    }
}

TEST(ArchiveVectors, UnicodeFlaggedNameMatchesUpToItsFirstZero) {
    std::vector<MemberHeader> members;
    const std::vector<std::uint8_t> archive = readFile(vectorPath("Rar2.rar"));
    MemoryArchiveSource source(archive);
    ASSERT_EQ(listMembers(source, members), ExtractResult::ok);
    const auto unicode = std::ranges::find_if(members, [](const MemberHeader& m) { return m.flags & 0x200; });
    ASSERT_NE(unicode, members.end());

    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ExtractMember(unicode->name, archive, bytes));
    EXPECT_EQ(bytes.size(), 15498u);
    EXPECT_EQ(crc32(bytes), 0x9bd160fau);
}

} // namespace
