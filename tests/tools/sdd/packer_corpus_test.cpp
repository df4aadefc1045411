// Real kinds of data at every level and mode, through our reader, unar and node-unrar-js; and the packer
// fuzz target's seed corpus through the same round trip the fuzzer runs.
#include "fuzz/packer_round_trip.h"
#include "tests/tools/sdd/packer_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

// Under AddressSanitizer packing runs ten to twenty times slower: there the members above a megabyte and the
// levels between the fastest and the smallest are left to the normal build, which runs this test whole.
#ifdef __SANITIZE_ADDRESS__
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The show's own files as the build stages them, then what the show does not have: PCM sound above 1 MiB,
// a member above 4 MiB (high-entropy data with text and sound between), a tiny and an empty member.
std::vector<ExpectedMember> corpus() {
    std::vector<ExpectedMember> members;
    for (const auto& entry : fs::recursive_directory_iterator(HELIOX_SHOW_STAGING))
        if (entry.is_regular_file()) {
            std::string name = fs::relative(entry.path(), HELIOX_SHOW_STAGING).generic_string();
            std::replace(name.begin(), name.end(), '/', '\\');
            members.push_back({name, fileBytes(entry.path())});
        }
    std::sort(members.begin(), members.end(),
              [](const ExpectedMember& a, const ExpectedMember& b) { return a.name < b.name; });
    members.push_back({"tiny.txt", {'x'}});
    members.push_back({"empty.txt", {}});
    if (sanitized)
        return members;
    members.push_back({"sound\\stereo16.pcm", interleavedSamples(300'000, 4, 7)}); // 1.2 MB
    std::vector<std::uint8_t> large = pseudoRandomBytes(3'000'000, 11);
    const std::vector<std::uint8_t> text = wordText(700'000, 12);
    const std::vector<std::uint8_t> sound = interleavedSamples(250'000, 2, 13);
    large.insert(large.begin() + 1'000'000, text.begin(), text.end());
    large.insert(large.end(), sound.begin(), sound.end());
    members.push_back({"large.bin", std::move(large)}); // 4.2 MB
    return members;
}

TEST_F(PackerCrossCheck, RealKindsOfDataAtEveryLevelAndMode) {
    const std::vector<ExpectedMember> members = corpus();
    ASSERT_GT(members.size(), 30u);
    const std::vector<PackOptions> everyLevelAndMode = {
        {1, false, false}, {2, false, false}, {3, false, false}, {4, false, false}, {5, false, false},
        {1, true, false},  {3, true, false},  {3, false, true},  {5, true, true}};
    const std::vector<PackOptions> fastestAndSmallest = {{1, false, false}, {5, true, true}};
    for (const PackOptions options : sanitized ? fastestAndSmallest : everyLevelAndMode) {
        SCOPED_TRACE("-m" + std::to_string(options.level) + (options.solid ? " -s" : "") +
                     (options.multimedia ? " -mm" : ""));
        expectEveryReaderExtracts(pack(options, members));
        if (HasFailure())
            return;
    }
}

TEST(PackerRoundTrip, EverySeedOfThePackerFuzzerComesBackByteForByte) {
    int seeds = 0;
    for (const auto& entry : fs::directory_iterator(HELIOX_PACKER_SEEDS)) {
        ++seeds;
        EXPECT_EQ(packerRoundTrip(fileBytes(entry.path())), "") << entry.path().filename();
    }
    EXPECT_GE(seeds, 10);
}

} // namespace
