#include "tools/sdd/huffman_code.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Fibonacci weights give the deepest Huffman trees: 40 symbols would want codes of 39 bits.
TEST(HuffmanCode, LengthsStayWithinFifteenBitsAndFormAPrefixCode) {
    std::vector<std::uint32_t> weights{1, 1};
    while (weights.size() < 40)
        weights.push_back(weights[weights.size() - 1] + weights[weights.size() - 2]);
    weights.insert(weights.begin() + 5, 0); // an absent symbol keeps no code

    const std::vector<std::uint8_t> lengths = codeLengthsFromWeights(weights);
    EXPECT_EQ(*std::max_element(lengths.begin(), lengths.end()), maxCodeLength);
    EXPECT_EQ(lengths[5], 0);
    EXPECT_EQ(std::count(lengths.begin(), lengths.end(), 0), 1);
    EXPECT_TRUE(canonicalCode(lengths).has_value());
    // Heavier symbols never get longer codes.
    EXPECT_LE(lengths.back(), lengths[0]);
}

TEST(HuffmanCode, CanonicalCodesRefuseTooManyShortCodes) {
    EXPECT_FALSE(canonicalCode(std::vector<std::uint8_t>{1, 1, 1}).has_value());
    EXPECT_FALSE(canonicalCode(std::vector<std::uint8_t>{16}).has_value());
    const std::optional<HuffmanCode> code = canonicalCode(std::vector<std::uint8_t>{2, 1, 0, 2});
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(code->codes[1], 0b0);
    EXPECT_EQ(code->codes[0], 0b10);
    EXPECT_EQ(code->codes[3], 0b11);
}

TEST(HuffmanCode, OneSymbolGetsAOneBitCode) {
    const std::vector<std::uint32_t> weights{0, 0, 7, 0};
    EXPECT_EQ(codeLengthsFromWeights(weights), (std::vector<std::uint8_t>{0, 0, 1, 0}));
}

} // namespace
