#include "tools/sdd/rar20_lz_prices.h"

namespace {

// A symbol the code lengths leave out may still get a code in the stretch's own tables.
constexpr std::uint32_t uncodedSymbolBits = 12;

} // namespace

Rar20LzPrices::Rar20LzPrices(std::span<const std::uint8_t> lengths) {
    const auto bits = [&](std::size_t symbol) {
        return lengths[symbol] != 0 ? std::uint32_t{lengths[symbol]} : uncodedSymbolBits;
    };
    for (std::uint32_t i = 0; i < 256; ++i) {
        literal[i] = bits(i);
        const std::size_t lengthSlot = rar20LengthSlots.slotOf(i);
        newLength[i] = bits(rar20FirstMatchSymbol + lengthSlot) + rar20LengthSlots.bits[lengthSlot];
        repeatLength[i] = bits(rar20RepeatLengthLengthsAt + lengthSlot) + rar20LengthSlots.bits[lengthSlot];
        const std::size_t shortSlot = rar20ShortDistanceSlots.slotOf(i);
        shortMatch[i] = bits(rar20FirstShortSymbol + shortSlot) + rar20ShortDistanceSlots.bits[shortSlot];
    }
    for (std::size_t slot = 0; slot < distanceSlot.size(); ++slot)
        distanceSlot[slot] = bits(rar20DistanceLengthsAt + slot) + rar20DistanceSlots.bits[slot];
    for (std::size_t age = 0; age < 4; ++age)
        repeat[age] = bits(rar20FirstRepeatSymbol + age);
    lastMatch = bits(rar20LastMatchSymbol);
}
