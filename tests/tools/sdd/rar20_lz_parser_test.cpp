#include "tests/tools/sdd/packer_fixture.h"
#include "tools/sdd/huffman_code.h"
#include "tools/sdd/rar20_lz_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// The code lengths tables made for these codes would have, per table, in table-read order.
std::vector<std::uint8_t> ownLengths(const std::vector<Rar20LzCode>& codes) {
    const std::vector<std::uint32_t> weights = lzSymbolWeights(codes);
    std::vector<std::uint8_t> lengths;
    for (const auto& [offset, size] : {std::pair{std::size_t{0}, rar20MainSymbols},
                                       std::pair{rar20DistanceLengthsAt, rar20DistanceSymbols},
                                       std::pair{rar20RepeatLengthLengthsAt, rar20RepeatLengthSymbols}}) {
        const std::vector<std::uint8_t> slice =
            codeLengthsFromWeights(std::span(weights).subspan(offset, size));
        lengths.insert(lengths.end(), slice.begin(), slice.end());
    }
    return lengths;
}

// What the codes take at these lengths; a symbol without a length is priced as the parser prices it.
std::uint64_t bitsAt(const std::vector<Rar20LzCode>& codes, const std::vector<std::uint8_t>& lengths) {
    const auto bits = [&](std::size_t symbol) -> std::uint64_t {
        return lengths[symbol] ? lengths[symbol] : 12;
    };
    std::uint64_t total = 0;
    for (const Rar20LzCode& code : codes) {
        total += bits(code.mainSymbol) + code.mainExtraBits + code.secondExtraBits;
        if (code.second == Rar20LzCode::Second::distance)
            total += bits(rar20DistanceLengthsAt + code.secondSymbol);
        else if (code.second == Rar20LzCode::Second::repeatLength)
            total += bits(rar20RepeatLengthLengthsAt + code.secondSymbol);
    }
    return total;
}

// Each optimal pass is priced by the lengths the parse before it would get; that parse is one of the
// paths the pass weighs, so the pass must find one at least as cheap at those prices.
TEST(Rar20LzParser, EachOptimalPassIsNoDearerThanTheParseBeforeAtItsPrices) {
    for (const auto& [name, data] :
         {std::pair{"words", wordText(100000, 3)}, std::pair{"samples", interleavedSamples(40000, 2, 4)}}) {
        SCOPED_TRACE(name);
        Rar20LzParser parser(data, effortForLevel(5));
        const std::vector<Rar20LzParse> parses = parser.parse(0, data.size(), Rar20LzState{});
        ASSERT_EQ(parses.size(), 4u);
        for (std::size_t pass = 1; pass < parses.size(); ++pass) {
            const std::vector<std::uint8_t> prices = ownLengths(parses[pass - 1].codes);
            EXPECT_LE(bitsAt(parses[pass].codes, prices), bitsAt(parses[pass - 1].codes, prices))
                << "pass " << pass;
        }
        // And on text the weighing pays: the last pass costs clearly less than the look-ahead parse, each
        // under tables of its own.
        if (std::string_view(name) == "words") {
            EXPECT_LT(bitsAt(parses.back().codes, ownLengths(parses.back().codes)),
                      bitsAt(parses[0].codes, ownLengths(parses[0].codes)) * 99 / 100);
        }
    }
}

// The look-ahead parse searches sparsely through data that finds no matches; the compressible data after
// it must not pay for that: its bytes join the index while the search is sparse, and from its first match
// on every byte is searched again.
TEST(Rar20LzParser, ARunWithoutMatchesCostsNothingInTheDataAfterIt) {
    std::mt19937 random(7);
    // Text with a stray byte here and there, which no match covers.
    std::vector<std::uint8_t> text = wordText(100000, 5);
    for (std::size_t at = 0; at < text.size(); at += 64)
        text[at] = static_cast<std::uint8_t>(random());
    constexpr std::size_t noiseSize = 400000;
    std::vector<std::uint8_t> followed(noiseSize + text.size());
    std::generate_n(followed.begin(), noiseSize, [&] { return static_cast<std::uint8_t>(random()); });
    std::copy(text.begin(), text.end(), followed.begin() + noiseSize);

    const auto literalsOf = [](const std::vector<std::uint8_t>& data) {
        Rar20LzParser parser(data, effortForLevel(3));
        const std::vector<Rar20LzCode> codes = parser.parse(0, data.size(), Rar20LzState{})[0].codes;
        return std::count_if(codes.begin(), codes.end(),
                             [](const Rar20LzCode& code) { return code.mainSymbol < 256; });
    };
    EXPECT_LT(literalsOf(followed), literalsOf(text) + std::ptrdiff_t{noiseSize} + 4000);
}

} // namespace

// Every value finds the slot whose range holds it, in each of the three slot tables.
TEST(Rar20Slots, EveryValueFindsTheSlotThatHoldsIt) {
    const auto check = [](const auto& slots, const char* name) {
        for (std::uint32_t value = 0; value < slots.end(); ++value) {
            const std::size_t slot = slots.slotOf(value);
            ASSERT_TRUE(slots.base[slot] <= value && value - slots.base[slot] < (1u << slots.bits[slot]))
                << name << " value " << value << " slot " << slot;
        }
    };
    check(rar20LengthSlots, "length");
    check(rar20DistanceSlots, "distance");
    check(rar20ShortDistanceSlots, "short distance");
}
