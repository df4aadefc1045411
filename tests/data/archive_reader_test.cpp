#include "data/archive_reader.h"

#include "data/crc32.h"
#include "data/indexed_archive.h"
#include "data/rar20_format.h"
#include "tests/data/rar20_flat_stream.h"
#include "tests/text_bytes.h"
#include "tools/sdd/archive_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string_view>
#include <tuple>

namespace {

// Where the first file header starts in an archive from ArchiveWriter (marker and main header before it),
// and where its fields lie.
constexpr std::size_t firstHeader = 20;
constexpr std::size_t flagsField = 3, headSizeField = 5, packSizeField = 7, unpSizeField = 11,
                      unpVerField = 24, nameSizeField = 26;

void put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    put16(bytes, at, static_cast<std::uint16_t>(value));
    put16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

// A header edited as a damaged one would be, its CRC made right again: damage that no CRC check catches.
void sealHeader(std::vector<std::uint8_t>& bytes, std::size_t at) {
    const std::uint16_t headSize =
        static_cast<std::uint16_t>(bytes[at + headSizeField] | bytes[at + headSizeField + 1] << 8);
    put16(bytes, at, static_cast<std::uint16_t>(crc32(std::span(bytes).subspan(at + 2, headSize - 2u))));
}

ExtractResult extract(std::string_view name, const std::vector<std::uint8_t>& archive,
                      std::vector<std::uint8_t>& out) {
    MemoryArchiveSource source(archive);
    return extractMemberWithReason(name, source, out);
}

// A member compressed with flat tables: text, then a match repeating it.
struct Packed {
    std::vector<std::uint8_t> packed;
    std::vector<std::uint8_t> bytes;
};
Packed packedText(std::string_view text) {
    FlatStream stream;
    stream.lzTables();
    for (char c : text)
        stream.literal(static_cast<std::uint8_t>(c));
    stream.match(static_cast<unsigned>(text.size()), static_cast<unsigned>(text.size()));
    return {stream.take(), stream.output()};
}

TEST(ArchiveReader, FindsMembersByNameWithEitherSlashInAnyCase) {
    ArchiveWriter writer;
    ASSERT_TRUE(writer.addStored("textures\\Sun.JPG", text("sun")));
    const Packed packed = packedText("sphere mesh ");
    ASSERT_TRUE(writer.addPacked("meshes\\sphere.dat", packed.packed,
                                 static_cast<std::uint32_t>(packed.bytes.size()), crc32(packed.bytes), 0x35));
    std::vector<std::uint8_t> out;
    EXPECT_TRUE(ExtractMember("TEXTURES/sun.jpg", writer.bytes(), out));
    EXPECT_EQ(out, text("sun"));
    EXPECT_TRUE(ExtractMember("meshes/SPHERE.dat", writer.bytes(), out));
    EXPECT_EQ(out, packed.bytes);
    EXPECT_EQ(extract("meshes\\sphere", writer.bytes(), out), ExtractResult::notFound);
    EXPECT_TRUE(out.empty());
}

TEST(ArchiveReader, AnEmptyMemberIsFoundAndEmpty) {
    ArchiveWriter writer;
    ASSERT_TRUE(writer.addStored("empty.txt", {}));
    std::vector<std::uint8_t> out = {1, 2, 3};
    EXPECT_TRUE(ExtractMember("empty.txt", writer.bytes(), out));
    EXPECT_TRUE(out.empty());
}

TEST(ArchiveReader, AMissingArchiveIsAFailure) {
    std::vector<std::uint8_t> out = {1};
    EXPECT_FALSE(ExtractMember("a.txt", "/nonexistent/heliox/data.sdd", out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(extract("a.txt", text("not an archive at all"), out), ExtractResult::notAnArchive);
}

TEST(ArchiveReader, AnyCorruptedByteOfAMemberFailsItsCrcAndGivesNoBytes) {
    ArchiveWriter writer;
    ASSERT_TRUE(writer.addStored("stored.txt", text("stored bytes")));
    const Packed packed = packedText("packed bytes ");
    ASSERT_TRUE(writer.addPacked("packed.txt", packed.packed, static_cast<std::uint32_t>(packed.bytes.size()),
                                 crc32(packed.bytes), 0x35));
    std::vector<MemberHeader> members;
    MemoryArchiveSource source(writer.bytes());
    ASSERT_EQ(listMembers(source, members), ExtractResult::ok);
    ASSERT_EQ(members.size(), 2u);

    // A compressed member made by a method older than 2.0 is decoded as 2.0 all the same; when it fails, the
    // failure says its method may be why. A stored member has no method to blame.
    for (const int version : {20, 15})
        for (const MemberHeader& member : members) {
            SCOPED_TRACE(member.name + " version " + std::to_string(version));
            std::vector<std::uint8_t> archive = writer.bytes();
            archive[member.headerOffset + unpVerField] = static_cast<std::uint8_t>(version);
            sealHeader(archive, member.headerOffset);
            // The third literal's code: a byte that a flat table turns into another literal, never a failure.
            archive[member.dataOffset + (member.method == rar::methodStored ? 3 : 250)] ^= 0x02;
            std::vector<std::uint8_t> out;
            const bool olderMethod = version < 20 && member.method != rar::methodStored;
            const ExtractResult result = extract(member.name, archive, out);
            EXPECT_EQ(result,
                      olderMethod ? ExtractResult::olderMethodCrcMismatch : ExtractResult::crcMismatch);
            EXPECT_EQ(std::string_view(describe(result)).find("older than 2.0") != std::string_view::npos,
                      olderMethod)
                << describe(result);
            EXPECT_TRUE(out.empty());
        }
}

TEST(ArchiveReader, OnlyVersions13To20AreExtracted) {
    ArchiveWriter writer;
    ASSERT_TRUE(writer.addStored("a.txt", text("a")));
    std::vector<std::uint8_t> archive = writer.bytes();
    std::vector<std::uint8_t> out;
    for (std::uint8_t version : {12, 29}) {
        archive[firstHeader + unpVerField] = version;
        sealHeader(archive, firstHeader);
        EXPECT_EQ(extract("a.txt", archive, out), ExtractResult::unsupportedVersion);
        EXPECT_TRUE(out.empty());
    }
    archive[firstHeader + unpVerField] = 13;
    sealHeader(archive, firstHeader);
    EXPECT_EQ(extract("a.txt", archive, out), ExtractResult::ok);
}

// A folder entry has no bytes of its own, whatever its sizes say: a show must not read one as its script.
TEST(ArchiveReader, AFolderEntryIsNeverReadAsAFile) {
    ArchiveWriter writer;
    ASSERT_TRUE(writer.addStored("solar.txt", text("a folder's stray bytes")));
    std::vector<std::uint8_t> archive = writer.bytes();
    archive[firstHeader + flagsField] |= rar::folderEntry;
    sealHeader(archive, firstHeader);
    std::vector<std::uint8_t> out;
    EXPECT_EQ(extract("solar.txt", archive, out), ExtractResult::notAFile);
    EXPECT_TRUE(out.empty());

    ArchiveWriter withFile;
    ASSERT_TRUE(withFile.addStored("solar.txt", text("a folder's stray bytes")));
    ASSERT_TRUE(withFile.addStored("SOLAR.TXT", text("sphere")));
    archive = withFile.bytes();
    archive[firstHeader + flagsField] |= rar::folderEntry;
    sealHeader(archive, firstHeader);
    EXPECT_EQ(extract("solar.txt", archive, out), ExtractResult::ok);
    EXPECT_EQ(out, text("sphere"));
}

TEST(ArchiveReader, EncryptedMembersAreRefused) {
    ArchiveWriter writer;
    ASSERT_TRUE(writer.addStored("a.txt", text("a")));
    std::vector<std::uint8_t> archive = writer.bytes();
    archive[firstHeader + flagsField] |= 0x04;
    sealHeader(archive, firstHeader);
    std::vector<std::uint8_t> out;
    EXPECT_EQ(extract("a.txt", archive, out), ExtractResult::encrypted);
}

// Every size in a header is checked against the archive before it is used.
TEST(ArchiveReader, DamagedHeadersAreFailuresBeforeAnythingIsRead) {
    ArchiveWriter writer;
    ASSERT_TRUE(writer.addStored("first.txt", text("first")));
    ASSERT_TRUE(writer.addStored("second.txt", text("second")));
    const std::vector<std::uint8_t>& good = writer.bytes();
    const std::size_t secondHeader = firstHeader + 32 + 9 + 5;
    std::vector<std::uint8_t> out;

    const auto damaged = [&](std::size_t header, std::size_t field, std::uint32_t value, int width) {
        std::vector<std::uint8_t> archive = good;
        width == 2 ? put16(archive, header + field, static_cast<std::uint16_t>(value))
                   : put32(archive, header + field, value);
        sealHeader(archive, header);
        return archive;
    };
    EXPECT_EQ(extract("second.txt", damaged(secondHeader, nameSizeField, 11, 2), out),
              ExtractResult::badHeader);
    EXPECT_EQ(extract("second.txt", damaged(secondHeader, packSizeField, 7, 4), out),
              ExtractResult::packedDataPastEnd);
    EXPECT_EQ(extract("second.txt", damaged(firstHeader, packSizeField, 0x7FFFFFFF, 4), out),
              ExtractResult::packedDataPastEnd);
    EXPECT_EQ(extract("second.txt", damaged(secondHeader, unpSizeField, (256u << 20) + 1, 4), out),
              ExtractResult::tooLarge);
    EXPECT_EQ(extract("second.txt", damaged(secondHeader, unpSizeField, 7, 4), out),
              ExtractResult::dataError);
    EXPECT_TRUE(out.empty());
}

// Bytes after the last whole member that are no block (junk appended) end the archive: every member before
// them is read, and the count of those bytes is reported. Bytes that look like a header cut short are
// damage instead, and the members before them still come out.
TEST(ArchiveReader, JunkAfterTheLastMemberIsTrailingDataButAHeaderCutShortIsDamage) {
    ArchiveWriter writer(true);
    const Packed packed = packedText("solid text");
    ASSERT_TRUE(writer.addPacked("a.bin", packed.packed, 20, crc32(packed.bytes), 0x33));
    ASSERT_TRUE(writer.addStored("b.txt", text("second")));
    const std::string junk = "<html>404 not found</html>\n";

    std::vector<std::uint8_t> withJunk = writer.bytes();
    withJunk.insert(withJunk.end(), junk.begin(), junk.end());
    std::vector<std::uint8_t> cut(writer.bytes().begin(), writer.bytes().end() - 20);
    std::vector<std::uint8_t> cutEarly = writer.bytes();
    cutEarly.insert(cutEarly.end(), {0x11, 0x22, 0x74, 0x00, 0x80, 0x30, 0x00, 0xFF, 0xFF});

    for (const auto& [archive, names, trailing, walkResult] :
         {std::tuple{withJunk, std::vector<std::string>{"a.bin", "b.txt"}, junk.size(), ExtractResult::ok},
          std::tuple{cutEarly, std::vector<std::string>{"a.bin", "b.txt", ""}, std::size_t{0},
                     ExtractResult::truncatedHeader},
          std::tuple{cut, std::vector<std::string>{"a.bin", ""}, std::size_t{0},
                     ExtractResult::truncatedHeader}}) {
        MemoryArchiveSource source(archive);
        std::vector<std::string> seen;
        std::uint64_t trailingBytes = 0;
        EXPECT_EQ(extractAll(
                      source,
                      [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t>) {
                          EXPECT_EQ(result, header.damage) << header.name;
                          seen.push_back(header.name);
                      },
                      &trailingBytes),
                  walkResult);
        EXPECT_EQ(seen, names);
        EXPECT_EQ(trailingBytes, trailing);
        std::vector<std::uint8_t> out;
        EXPECT_EQ(extract("a.bin", archive, out), ExtractResult::ok);
        EXPECT_EQ(out, packed.bytes);
    }
}

// Old archivers put sub-blocks (such as Unix owners) after a file's data; the members after them are
// still there to be found.
TEST(ArchiveReader, WalksPastSubBlocksBetweenMembers) {
    ArchiveWriter writer;
    ASSERT_TRUE(writer.addStored("first.txt", text("first")));
    ASSERT_TRUE(writer.addStored("second.txt", text("second")));
    std::vector<std::uint8_t> archive = writer.bytes();
    std::vector<std::uint8_t> subBlock = {0, 0, 0x77, 0x00, 0x80, 18, 0, 4,   0,   0,   0,
                                          1, 1, 0,    0,    0,    0,  0, 'o', 'w', 'n', 'r'};
    // This old kind of block has a HEAD_CRC over its data too.
    put16(subBlock, 0, static_cast<std::uint16_t>(crc32(std::span(subBlock).subspan(2))));
    archive.insert(archive.begin() + firstHeader + 32 + 9 + 5, subBlock.begin(), subBlock.end());
    std::vector<std::uint8_t> out;
    EXPECT_EQ(extract("second.txt", archive, out), ExtractResult::ok);
    EXPECT_EQ(out, text("second"));
    MemoryArchiveSource source(archive);
    std::vector<MemberHeader> members;
    EXPECT_EQ(listMembers(source, members), ExtractResult::ok);
}

// Any flipped bit in any header is caught by its CRC and costs that header's member alone: the walk goes
// on at the next sound header, every other member comes out whole, and nothing comes out wrong. The first
// member is an archive itself, whose headers must not be taken for the outer one's.
TEST(ArchiveReader, AFlippedBitInAnyHeaderCostsOnlyItsOwnMember) {
    ArchiveWriter inner;
    ASSERT_TRUE(inner.addStored("inner.txt", text("inside the first member")));
    ArchiveWriter writer;
    const Packed packed = packedText("moon and sun ");
    const std::vector<std::string> names = {"one.rar", "two.bin", "three.txt"};
    ASSERT_TRUE(writer.addStored(names[0], inner.bytes()));
    ASSERT_TRUE(writer.addPacked(names[1], packed.packed, static_cast<std::uint32_t>(packed.bytes.size()),
                                 crc32(packed.bytes), 0x33));
    ASSERT_TRUE(writer.addStored(names[2], text("third member")));
    const std::vector<std::uint8_t> good = writer.bytes();
    std::vector<MemberHeader> headers;
    MemoryArchiveSource goodSource(good);
    ASSERT_EQ(listMembers(goodSource, headers), ExtractResult::ok);
    std::map<std::string, std::vector<std::uint8_t>> contents;
    extractAll(goodSource,
               [&](const MemberHeader& header, ExtractResult, std::span<const std::uint8_t> bytes) {
                   contents[header.name].assign(bytes.begin(), bytes.end());
               });

    // The main header (index -1) and each file header.
    for (int damagedMember = -1; damagedMember < 3; ++damagedMember) {
        const std::size_t start = damagedMember < 0 ? 7 : headers[damagedMember].headerOffset;
        const std::size_t end = damagedMember < 0 ? firstHeader : headers[damagedMember].dataOffset;
        for (std::size_t at = start; at < end; ++at)
            for (int bit = 0; bit < 8; ++bit) {
                std::vector<std::uint8_t> archive = good;
                archive[at] ^= static_cast<std::uint8_t>(1 << bit);
                MemoryArchiveSource source(archive);
                std::set<std::string> whole;
                int damage = 0;
                const ExtractResult walk =
                    extractAll(source, [&](const MemberHeader& header, ExtractResult result,
                                           std::span<const std::uint8_t> bytes) {
                        damage += header.damage != ExtractResult::ok;
                        // Only a damaged HEAD_SIZE or PACK_SIZE leaves it to the search for the next header,
                        // which finds the inner ones.
                        if (header.name == "inner.txt") {
                            EXPECT_TRUE(at >= start + headSizeField && at < start + packSizeField + 4) << at;
                            return;
                        }
                        if (result == ExtractResult::ok) {
                            EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
                                      contents[header.name])
                                << header.name << " at byte " << at << " bit " << bit;
                            whole.insert(header.name);
                        }
                    });
                SCOPED_TRACE("byte " + std::to_string(at) + " bit " + std::to_string(bit));
                EXPECT_NE(walk, ExtractResult::ok);
                EXPECT_EQ(damage, 1);
                for (int i = 0; i < 3; ++i)
                    EXPECT_EQ(whole.count(names[i]), i == damagedMember ? 0u : 1u) << names[i];
            }
    }
}

TEST(ArchiveReader, ListsMemberHeadersInOrder) {
    ArchiveWriter writer(true);
    ASSERT_TRUE(writer.addStored("a.txt", text("aa"), dosTime(2004, 5, 6)));
    const Packed packed = packedText("bbb");
    ASSERT_TRUE(writer.addPacked("dir/b.bin", packed.packed, 6, crc32(packed.bytes), 0x33));
    ASSERT_TRUE(writer.addPacked("c.bin", packed.packed, 6, crc32(packed.bytes), 0x33));
    std::vector<MemberHeader> members;
    MemoryArchiveSource source(writer.bytes());
    ASSERT_EQ(listMembers(source, members), ExtractResult::ok);
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0].name, "a.txt");
    EXPECT_EQ(members[0].method, 0x30);
    EXPECT_EQ(members[0].unpSize, 2u);
    EXPECT_EQ(members[0].fileTime, dosTime(2004, 5, 6));
    EXPECT_FALSE(members[0].solidContinuation);
    EXPECT_EQ(members[0].dataOffset, firstHeader + 32 + 5);
    EXPECT_EQ(members[1].name, "dir\\b.bin");
    EXPECT_EQ(members[1].packSize, packed.packed.size());
    EXPECT_EQ(members[1].fileCrc, crc32(packed.bytes));
    EXPECT_EQ(members[1].unpVer, 20);
    EXPECT_FALSE(members[1].solidContinuation); // the first packed member starts the solid chain
    EXPECT_TRUE(members[2].solidContinuation);
}

// A solid archive of three compressed members and a stored one, each packed member going on from the one
// before: the last member needs all of them decoded.
class SolidArchive : public ::testing::Test {
protected:
    void SetUp() override {
        FlatStream stream;
        stream.lzTables();
        const std::string_view texts[] = {"first member ", "second ", "third "};
        std::size_t start = 0;
        for (int i = 0; i < 3; ++i) {
            for (char c : texts[i])
                stream.literal(static_cast<std::uint8_t>(c));
            stream.match(10, static_cast<unsigned>(stream.output().size()));
            const std::vector<std::uint8_t> packed = stream.take();
            const std::vector<std::uint8_t> bytes(
                stream.output().begin() + static_cast<std::ptrdiff_t>(start), stream.output().end());
            start = stream.output().size();
            ASSERT_TRUE(writer.addPacked("m" + std::to_string(i), packed,
                                         static_cast<std::uint32_t>(bytes.size()), crc32(bytes), 0x35));
            expected.push_back(bytes);
            if (i == 0) {
                ASSERT_TRUE(writer.addStored("stored", text("in between")));
            }
        }
    }

    ArchiveWriter writer{true};
    std::vector<std::vector<std::uint8_t>> expected;
};

TEST_F(SolidArchive, TheLastMemberComesOutAfterDecodingTheOnesBefore) {
    std::vector<std::uint8_t> out;
    EXPECT_TRUE(ExtractMember("m2", writer.bytes(), out));
    EXPECT_EQ(out, expected[2]);
}

TEST_F(SolidArchive, ExtractAllDecodesEveryMemberOnce) {
    MemoryArchiveSource source(writer.bytes());
    std::vector<std::string> names;
    std::vector<std::vector<std::uint8_t>> packedMembers;
    const auto collect = [&](const MemberHeader& header, ExtractResult result,
                             std::span<const std::uint8_t> bytes) {
        EXPECT_EQ(result, ExtractResult::ok) << header.name;
        names.push_back(header.name);
        if (header.method != rar::methodStored)
            packedMembers.emplace_back(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(extractAll(source, collect), ExtractResult::ok);
    EXPECT_EQ(names, (std::vector<std::string>{"m0", "stored", "m1", "m2"}));
    EXPECT_EQ(packedMembers, expected);
}

// A member that cannot be decoded leaves no state to go on from; one that decodes whole but whose CRC is
// wrong fails alone, as the decoder's state is still the packer's.
TEST_F(SolidArchive, OnlyADecodingFailureMakesTheCompressedMembersAfterItFail) {
    std::vector<MemberHeader> members;
    MemoryArchiveSource listing(writer.bytes());
    ASSERT_EQ(listMembers(listing, members), ExtractResult::ok);
    const auto results = [](const std::vector<std::uint8_t>& archive) {
        MemoryArchiveSource source(archive);
        std::vector<ExtractResult> seen;
        extractAll(source,
                   [&](const MemberHeader&, ExtractResult result, std::span<const std::uint8_t> bytes) {
                       seen.push_back(result);
                       EXPECT_EQ(bytes.empty(), result != ExtractResult::ok);
                   });
        return seen;
    };

    // A first member made by an older method says so when it fails; the members after it fare as after any
    // other failure of its kind.
    for (const int version : {20, 15}) {
        SCOPED_TRACE(version);
        const bool olderMethod = version < 20;
        std::vector<std::uint8_t> wrongCrc = writer.bytes();
        const std::size_t crcField = 16;
        wrongCrc[firstHeader + crcField] ^= 0x01;
        wrongCrc[firstHeader + unpVerField] = static_cast<std::uint8_t>(version);
        sealHeader(wrongCrc, firstHeader);
        EXPECT_EQ(results(wrongCrc),
                  (std::vector<ExtractResult>{olderMethod ? ExtractResult::olderMethodCrcMismatch
                                                          : ExtractResult::crcMismatch,
                                              ExtractResult::ok, ExtractResult::ok, ExtractResult::ok}));
        std::vector<std::uint8_t> out;
        EXPECT_EQ(extract("m2", wrongCrc, out), ExtractResult::ok);

        // Cut short, the first member's stream runs out of bits before its last byte.
        std::vector<std::uint8_t> undecodable = writer.bytes();
        put32(undecodable, firstHeader + unpSizeField, members[0].unpSize + 4000);
        undecodable[firstHeader + unpVerField] = static_cast<std::uint8_t>(version);
        sealHeader(undecodable, firstHeader);
        EXPECT_EQ(results(undecodable),
                  (std::vector<ExtractResult>{olderMethod ? ExtractResult::olderMethodDataError
                                                          : ExtractResult::dataError,
                                              ExtractResult::ok, ExtractResult::solidPredecessorFailed,
                                              ExtractResult::solidPredecessorFailed}));
        EXPECT_EQ(extract("m2", undecodable, out), ExtractResult::solidPredecessorFailed);
    }
}

// A show asks for members in its own order, not the archive's. Whatever the order, an index gives each member
// exactly what a pass through the whole archive gives it, failures included, and in a solid archive decodes
// each compressed member once; a member asked for again is decoded afresh.
TEST_F(SolidArchive, AnIndexFetchesInAnyOrderWhatOnePassGivesAndDecodesTheStreamOnce) {
    std::vector<MemberHeader> members;
    MemoryArchiveSource listing(writer.bytes());
    ASSERT_EQ(listMembers(listing, members), ExtractResult::ok);
    std::vector<std::uint8_t> undecodable = writer.bytes();
    put32(undecodable, firstHeader + unpSizeField, members[0].unpSize + 4000);
    sealHeader(undecodable, firstHeader);

    for (const std::vector<std::uint8_t>& archive : {writer.bytes(), undecodable}) {
        MemoryArchiveSource source(archive);
        std::map<std::string, std::pair<ExtractResult, std::vector<std::uint8_t>>> pass;
        extractAll(source, [&](const MemberHeader& header, ExtractResult result,
                               std::span<const std::uint8_t> bytes) {
            pass[header.name] = {result, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
        });
        std::vector<std::string> order = {"m0", "m1", "m2", "stored"};
        do {
            IndexedArchive index(source);
            for (const std::string& name : order) {
                std::vector<std::uint8_t> out;
                EXPECT_EQ(index.fetch(name, out), pass[name].first) << name;
                EXPECT_EQ(out, pass[name].second) << name;
            }
            EXPECT_EQ(index.decodedMembers(), 3u);
            std::vector<std::uint8_t> again;
            EXPECT_EQ(index.fetch(order.front(), again), pass[order.front()].first);
            EXPECT_EQ(again, pass[order.front()].second);
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

} // namespace
