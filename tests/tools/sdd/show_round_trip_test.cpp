// The show's own archive, as the build packs it: node-unrar-js and unar extract every member byte for byte
// what our reader extracts, and our reader's CRC checks pass.
#include "data/archive_reader.h"
#include "tests/data/unrar/reference_unpacker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::vector<std::uint8_t>> extractWithOurReader(const fs::path& archive) {
    std::map<std::string, std::vector<std::uint8_t>> members;
    FileArchiveSource source(archive.string());
    EXPECT_TRUE(source.isOpen()) << archive;
    ExtractResult walk = extractAll(
        source, [&](const MemberHeader& header, ExtractResult result, std::span<const std::uint8_t> bytes) {
            EXPECT_EQ(result, ExtractResult::ok) << header.name;
            std::string name = header.name;
            std::replace(name.begin(), name.end(), '\\', '/');
            members[name].assign(bytes.begin(), bytes.end());
        });
    EXPECT_EQ(walk, ExtractResult::ok);
    return members;
}

TEST(ShowRoundTrip, EveryReaderExtractsTheShowAlike) {
    const fs::path archive = HELIOX_SHOW_ARCHIVE;
    const auto ours = extractWithOurReader(archive);
    ASSERT_GT(ours.size(), 30u);
    const fs::path folder = fs::temp_directory_path() / "heliox-show-round-trip";
    for (const auto& reference :
         {extractWithNodeUnrar(archive, folder / "node"), extractWithUnar(archive, folder / "unar")}) {
        ASSERT_EQ(reference.error, "");
        EXPECT_EQ(reference.members.size(), ours.size());
        for (const auto& [name, bytes] : ours) {
            auto found = reference.members.find(name);
            ASSERT_NE(found, reference.members.end()) << name;
            EXPECT_TRUE(found->second == bytes) << name;
        }
    }
    fs::remove_all(folder);
}

} // namespace
