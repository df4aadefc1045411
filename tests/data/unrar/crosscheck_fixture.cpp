#include "tests/data/unrar/crosscheck_fixture.h"

#include "data/archive_reader.h"
#include "data/crc32.h"
#include "tests/data/unrar/reference_unpacker.h"

#include <algorithm>
#include <cstdlib>
#include <random>

namespace {

template <std::size_t N> std::array<std::uint8_t, N> everySymbolLengths(unsigned seed) {
    std::mt19937 random(seed);
    std::array<std::uint32_t, N> weights{};
    for (std::uint32_t& weight : weights)
        weight = 1 + (random() % 64) * (random() % 64) * (random() % 8);
    const std::vector<std::uint8_t> lengths = codeLengthsFromWeights(weights);
    std::array<std::uint8_t, N> result{};
    std::copy(lengths.begin(), lengths.end(), result.begin());
    return result;
}

// Equal, or where they first differ: whole megabytes of bytes are no use in a failure message.
::testing::AssertionResult sameBytes(const std::vector<std::uint8_t>& actual,
                                     const std::vector<std::uint8_t>& expected) {
    const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (a == actual.end() && e == expected.end())
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure()
                   << actual.size() << " bytes where " << expected.size() << " were expected";
    if (a != actual.end() && e != expected.end())
        failure << "; first difference at offset " << (a - actual.begin()) << ": " << int(*a)
                << " instead of " << int(*e);
    return failure;
}

} // namespace

LzTables everySymbolLzTables(unsigned seed) {
    return {everySymbolLengths<298>(seed), everySymbolLengths<48>(seed + 1),
            everySymbolLengths<28>(seed + 2)};
}

MultimediaTable everySymbolMultimediaTable(unsigned seed) {
    return everySymbolLengths<257>(seed);
}

std::vector<std::uint8_t> pseudoRandomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(count);
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

std::string extractedName(const std::string& storedName) {
    std::string name = storedName;
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

void CrossCheck::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "heliox-unrar-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
}

void CrossCheck::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void CrossCheck::addPacked(ArchiveWriter& archive, const std::string& name, Rar20StreamBuilder& builder) {
    PackedMember member = builder.takeMember();
    ASSERT_TRUE(builder.ok()) << name << ": " << builder.error();
    ASSERT_TRUE(archive.addPacked(name, member.packed, static_cast<std::uint32_t>(member.expected.size()),
                                  crc32(member.expected), 0x33));
    expected_.push_back({name, std::move(member.expected)});
}

void CrossCheck::addStored(ArchiveWriter& archive, const std::string& name,
                           const std::vector<std::uint8_t>& bytes) {
    ASSERT_TRUE(archive.addStored(name, bytes));
    expected_.push_back({name, bytes});
}

void CrossCheck::expectEveryUnpackerAgrees(const ArchiveWriter& archive) {
    const std::filesystem::path archivePath = folder_ / "test.sdd";
    ASSERT_TRUE(archive.save(archivePath.string()));

    // Into an empty folder: a test may check several archives.
    std::filesystem::remove_all(folder_ / "node-unrar-js");
    const ReferenceExtraction reference = extractWithNodeUnrar(archivePath, folder_ / "node-unrar-js");
    ASSERT_EQ(reference.error, "");
    EXPECT_EQ(reference.members.size(), expected_.size());
    for (const ExpectedMember& member : expected_) {
        SCOPED_TRACE(member.name + " (" + std::to_string(member.bytes.size()) + " bytes)");
        const auto found = reference.members.find(extractedName(member.name));
        if (found == reference.members.end()) {
            ADD_FAILURE() << "node-unrar-js did not extract the member";
        } else {
            // A mismatch here means the stream builder's model of the decoder is wrong, not our unpacker.
            EXPECT_TRUE(sameBytes(found->second, member.bytes))
                << "node-unrar-js disagrees with the stream builder";
        }

        std::vector<std::uint8_t> fromMemory;
        EXPECT_TRUE(ExtractMember(member.name, archive.bytes(), fromMemory)) << "ExtractMember failed";
        EXPECT_TRUE(sameBytes(fromMemory, member.bytes)) << "ExtractMember disagrees with node-unrar-js";
        std::vector<std::uint8_t> fromFile;
        EXPECT_TRUE(ExtractMember(member.name, archivePath.string(), fromFile))
            << "ExtractMember (file) failed";
        EXPECT_TRUE(sameBytes(fromFile, member.bytes)) << "ExtractMember (file) disagrees with node-unrar-js";
    }
}
