#include "tests/tools/sdd/packer_fixture.h"
#include "tools/sdd/packing_estimate.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<std::uint8_t> joined(std::vector<std::uint8_t> first, const std::vector<std::uint8_t>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Random bytes below `limit`: no repeats, but each byte takes fewer than eight bits.
std::vector<std::uint8_t> randomBytesBelow(std::size_t count, unsigned limit, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(count);
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>(random() % limit);
    return bytes;
}

// The estimate stores what the packer would hardly shrink, and never what it shrinks: wherever the redundancy
// lies (repeats far apart, byte statistics, only the end of the data) it must be seen.
TEST(PackingEstimate, CallsNotWorthPackingOnlyWhatThePackerHardlyShrinks) {
    const std::vector<std::uint8_t> noise = pseudoRandomBytes(300'000, 1);
    const std::vector<std::uint8_t> text = wordText(200'000, 2);
    Rar20Encoder textPacker(effortForLevel(3), false);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool savesLittle;
    } samples[] = {
        {"noise", noise, true},
        {"packed text", textPacker.encode(std::span<const std::uint8_t>(text)), true},
        {"noise twice", joined(noise, noise), false},
        {"noise, then text", joined(noise, wordText(20'000, 3)), false},
        {"text", text, false},
        {"random bytes below 200", randomBytesBelow(300'000, 200, 4), false},
    };
    for (const auto& sample : samples) {
        SCOPED_TRACE(sample.name);
        EXPECT_EQ(packingSavesLittle(sample.bytes), sample.savesLittle);
        Rar20Encoder encoder(effortForLevel(3), false);
        const double packedShare =
            static_cast<double>(encoder.encode(std::span<const std::uint8_t>(sample.bytes)).size()) /
            static_cast<double>(sample.bytes.size());
        if (sample.savesLittle)
            EXPECT_GT(packedShare, 0.99);
        else
            EXPECT_LT(packedShare, 0.97);
    }
}

} // namespace
