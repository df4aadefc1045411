#pragma once

#include "data/rar20_bit_reader.h"

#include <array>
#include <cstdint>
#include <span>

// A canonical prefix code built from code lengths (0 = symbol absent, 1 to 15 bits) and decoded from 16 bits
// of look-ahead exactly as the RAR 2.0 format does it, including what it does with incomplete and over-full
// codes, so corrupt tables decode the same symbols as every other unpacker and never index outside the table.
class Rar20HuffmanTable {
public:
    static constexpr std::size_t maxSymbols = 298;

    // Builds the code for lengths.size() symbols (at most maxSymbols).
    void build(std::span<const std::uint8_t> lengths);

    std::uint32_t decode(Rar20BitReader& bits) const {
        const std::uint32_t lookahead = bits.peek16() & 0xFFFE;
        const std::uint32_t prefix = lookahead >> (16 - quickBits);
        if (quickLength_[prefix] != 0) {
            bits.skip(quickLength_[prefix]);
            return quickSymbol_[prefix];
        }
        return decodeLong(lookahead, bits);
    }

private:
    // Codes longer than quickBits are rare; kept out of line so the common path stays small enough to inline.
    std::uint32_t decodeLong(std::uint32_t lookahead, Rar20BitReader& bits) const;

    // Codes of up to quickBits bits are decoded by one lookup in the quick tables.
    static constexpr unsigned quickBits = 10;

    unsigned codeLength(std::uint32_t lookahead, unsigned shortest) const {
        for (unsigned length = shortest; length < 15; ++length)
            if (lookahead < limit_[length])
                return length;
        return 15;
    }

    std::uint16_t symbolAt(std::uint32_t lookahead, unsigned length) const {
        const std::uint32_t index = firstIndex_[length] + ((lookahead - limit_[length - 1]) >> (16 - length));
        return index < symbolCount_ ? symbols_[index] : symbols_[0];
    }

    // limit_[l]: look-ahead values below it have codes of at most l bits; firstIndex_[l]: where the symbols
    // with l-bit codes start in symbols_, which lists the symbols by code length, then by value.
    std::array<std::uint32_t, 16> limit_{};
    std::array<std::uint32_t, 16> firstIndex_{};
    std::array<std::uint16_t, maxSymbols> symbols_{};
    std::size_t symbolCount_ = 0;
    std::array<std::uint8_t, 1u << quickBits> quickLength_{};
    std::array<std::uint16_t, 1u << quickBits> quickSymbol_{};
};
