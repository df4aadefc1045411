#include "data/crc32.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(Crc32, MatchesTheStandardCheckValue) {
    EXPECT_EQ(crc32(bytesOf("123456789")), 0xCBF43926u);
    EXPECT_EQ(crc32(bytesOf("")), 0u);
}

TEST(Crc32, ContinuesARunningChecksumAcrossPieces) {
    EXPECT_EQ(crc32(bytesOf("6789"), crc32(bytesOf("12345"))), 0xCBF43926u);
}

// The checksum one bit at a time, straight from the polynomial: a model independent of the lookup tables.
std::uint32_t bitwiseCrc(std::span<const std::uint8_t> bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes) {
        c ^= b;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return ~c;
}

TEST(Crc32, AgreesWithTheBitwiseModelAtEveryLengthAndSplit) {
    std::vector<std::uint8_t> bytes(67);
    std::uint32_t state = 12345;
    for (std::uint8_t& b : bytes)
        b = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 16);
    const std::span<const std::uint8_t> all(bytes);
    for (std::size_t length = 0; length <= all.size(); ++length)
        ASSERT_EQ(crc32(all.first(length)), bitwiseCrc(all.first(length))) << "length " << length;
    // Pieces that start at every alignment, as an unpacker's pieces do.
    for (std::size_t split = 0; split <= all.size(); ++split)
        ASSERT_EQ(crc32(all.subspan(split), crc32(all.first(split))), bitwiseCrc(all)) << "split " << split;
}

} // namespace
