#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

inline constexpr int maxCodeLength = 15;

// A prefix code given by code lengths (0 = the symbol has no code), numbered canonically the way the RAR 2.0
// decoder builds its tables: shorter codes first, and within one length the symbols in increasing order.
struct HuffmanCode {
    std::vector<std::uint8_t> lengths;
    std::vector<std::uint16_t> codes;

    bool hasCode(unsigned symbol) const { return symbol < lengths.size() && lengths[symbol] != 0; }
};

// The canonical code for these lengths, or nothing when a length exceeds 15 or the lengths ask for more codes
// than a prefix code can have (the decoder's table would then be ambiguous).
std::optional<HuffmanCode> canonicalCode(std::span<const std::uint8_t> lengths);

// Huffman code lengths for the given symbol weights, at most `maxLength` bits long. Symbols of weight 0 get
// no code; a single symbol with weight gets a one-bit code. At most 2^15 symbols.
std::vector<std::uint8_t> codeLengthsFromWeights(std::span<const std::uint32_t> weights,
                                                 int maxLength = maxCodeLength);
