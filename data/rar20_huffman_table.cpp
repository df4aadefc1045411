#include "data/rar20_huffman_table.h"

#include <algorithm>

void Rar20HuffmanTable::build(std::span<const std::uint8_t> lengths) {
    symbolCount_ = std::min(lengths.size(), maxSymbols);

    std::array<std::uint32_t, 16> count{};
    for (std::size_t i = 0; i < symbolCount_; ++i)
        ++count[lengths[i] & 15];
    count[0] = 0;

    std::uint64_t codes = 0;
    limit_[0] = 0;
    firstIndex_[0] = 0;
    for (unsigned length = 1; length < 16; ++length) {
        codes = (codes + count[length]) * 2;
        limit_[length] = static_cast<std::uint32_t>(std::min<std::uint64_t>(codes << (15 - length), 0xFFFF));
        firstIndex_[length] = firstIndex_[length - 1] + count[length - 1];
    }

    symbols_.fill(0);
    std::array<std::uint32_t, 16> next = firstIndex_;
    for (std::size_t symbol = 0; symbol < symbolCount_; ++symbol)
        if (const unsigned length = lengths[symbol] & 15; length != 0)
            symbols_[next[length]++] = static_cast<std::uint16_t>(symbol);

    // A limit at or below quickBits bits is a multiple of 2^(16 - quickBits) (or 0xFFFF), so every look-ahead
    // sharing a quickBits prefix decodes alike when the prefix's smallest value has a code that short.
    for (std::uint32_t prefix = 0; prefix < quickLength_.size(); ++prefix) {
        const std::uint32_t lookahead = prefix << (16 - quickBits);
        const unsigned length = codeLength(lookahead, 1);
        quickLength_[prefix] = static_cast<std::uint8_t>(length <= quickBits ? length : 0);
        quickSymbol_[prefix] = length <= quickBits ? symbolAt(lookahead, length) : 0;
    }
}

std::uint32_t Rar20HuffmanTable::decodeLong(std::uint32_t lookahead, Rar20BitReader& bits) const {
    const unsigned length = codeLength(lookahead, quickBits + 1);
    bits.skip(length);
    return symbolAt(lookahead, length);
}
