#include "data/crc32.h"

#include <gtest/gtest.h>

#include <string_view>

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

} // namespace
