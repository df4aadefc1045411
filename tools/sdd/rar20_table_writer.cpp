#include "tools/sdd/rar20_table_writer.h"

#include "tools/sdd/huffman_code.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::size_t bitLengthSymbols = 19;
// Code-length symbols: 0..15 a length change, then the three run codes.
constexpr unsigned repeatPreviousSymbol = 16; // 3 + 2 bits copies of the previous length
constexpr unsigned shortZeroRunSymbol = 17;   // 3 + 3 bits zeros
constexpr unsigned longZeroRunSymbol = 18;    // 11 + 7 bits zeros

struct LengthSymbol {
    unsigned symbol;
    unsigned extra = 0;
    int extraBits = 0;
};

// The code-length symbols for `lengths`: runs of zeros and repeats where they pay, changes against `kept`
// (mod 16) everywhere else. Runs write absolute values, so they serve whether or not old lengths are kept.
std::vector<LengthSymbol> lengthSymbols(std::span<const std::uint8_t> lengths,
                                        std::span<const std::uint8_t> kept) {
    std::vector<LengthSymbol> symbols;
    std::size_t i = 0;
    while (i < lengths.size()) {
        std::size_t run = 1;
        while (i + run < lengths.size() && lengths[i + run] == lengths[i])
            ++run;
        const unsigned old = kept.empty() ? 0 : kept[i];
        if (lengths[i] == 0 && run >= 11) {
            run = std::min<std::size_t>(run, 138);
            symbols.push_back({longZeroRunSymbol, static_cast<unsigned>(run - 11), 7});
        } else if (lengths[i] == 0 && run >= 3) {
            run = std::min<std::size_t>(run, 10);
            symbols.push_back({shortZeroRunSymbol, static_cast<unsigned>(run - 3), 3});
        } else if (i > 0 && lengths[i] == lengths[i - 1] && run >= 3) {
            run = std::min<std::size_t>(run, 6);
            symbols.push_back({repeatPreviousSymbol, static_cast<unsigned>(run - 3), 2});
        } else {
            run = 1;
            symbols.push_back({static_cast<unsigned>((lengths[i] - old) & 0xF)});
        }
        i += run;
    }
    return symbols;
}

// The code-length symbols' own code lengths, from how often each is used.
std::vector<std::uint8_t> symbolCodeLengths(std::span<const LengthSymbol> symbols) {
    std::array<std::uint32_t, bitLengthSymbols> weights{};
    for (const LengthSymbol& s : symbols)
        ++weights[s.symbol];
    return codeLengthsFromWeights(weights);
}

} // namespace

void writeRar20TableRead(BitWriter& bits, bool multimedia, int channelCount,
                         std::span<const std::uint8_t> lengths, std::span<const std::uint8_t> keptLengths) {
    bits.put(multimedia ? 1 : 0, 1);
    bits.put(keptLengths.empty() ? 0 : 1, 1);
    if (multimedia)
        bits.put(static_cast<unsigned>(channelCount - 1), 2);

    const std::vector<LengthSymbol> symbols = lengthSymbols(lengths, keptLengths);
    const HuffmanCode code = *canonicalCode(symbolCodeLengths(symbols));
    for (std::uint8_t length : code.lengths)
        bits.put(length, 4);
    for (const LengthSymbol& s : symbols) {
        bits.put(code.codes[s.symbol], code.lengths[s.symbol]);
        bits.put(s.extra, s.extraBits);
    }
}

std::uint64_t rar20TableReadBits(bool multimedia, std::span<const std::uint8_t> lengths,
                                 std::span<const std::uint8_t> keptLengths) {
    const std::vector<LengthSymbol> symbols = lengthSymbols(lengths, keptLengths);
    const std::vector<std::uint8_t> codeLengths = symbolCodeLengths(symbols);
    // The mode and keep-old flags, for multimedia the channel count, and four bits per symbol's length.
    std::uint64_t bits = (multimedia ? 4 : 2) + 4 * bitLengthSymbols;
    for (const LengthSymbol& s : symbols)
        bits += codeLengths[s.symbol] + static_cast<unsigned>(s.extraBits);
    return bits;
}
