#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

// The RAR 2.0 format's fixed tables, as the unpacker reads them and the packer writes them.

// RAR 2.0 codes a match length or distance as a slot symbol followed by extra bits: the slot gives a base,
// the extra bits the offset from it. Each base is the one before plus the range the one before covers.
template <std::size_t N> struct Rar20Slots {
    std::array<std::uint32_t, N> base{};
    std::array<std::uint8_t, N> bits{};
    // Where the search for a value's slot starts, so that the packer's optimal parse, which asks for a
    // distance's slot millions of times, takes a step or two instead of searching them all: below blockSize
    // by the value's bit width (a width spans at most two slots there), above it by the block of blockSize
    // values it falls in.
    static constexpr int blockBits = 12;
    static constexpr std::uint32_t blockSize = 1u << blockBits;
    std::array<std::uint8_t, blockBits + 1> firstSlotOfWidth{};
    std::array<std::uint8_t, 256> firstSlotOfBlock{};

    // One past the largest value the slots can express.
    constexpr std::uint32_t end() const { return base[N - 1] + (1u << bits[N - 1]); }

    // The slot whose range holds `value` (which must be below end()).
    constexpr std::size_t slotOf(std::uint32_t value) const {
        std::size_t slot = value < blockSize
                               ? firstSlotOfWidth[static_cast<std::size_t>(std::bit_width(value))]
                               : firstSlotOfBlock[value >> blockBits];
        while (slot + 1 < N && base[slot + 1] <= value)
            ++slot;
        return slot;
    }
};

template <std::size_t N> constexpr Rar20Slots<N> makeRar20Slots(auto bitsOf) {
    Rar20Slots<N> slots;
    for (std::size_t i = 0; i < N; ++i) {
        slots.bits[i] = static_cast<std::uint8_t>(bitsOf(i));
        if (i > 0)
            slots.base[i] = slots.base[i - 1] + (1u << slots.bits[i - 1]);
    }
    const auto slotOfSmallest = [&slots](std::uint32_t smallest) {
        std::size_t slot = 0;
        while (slot + 1 < N && slots.base[slot + 1] <= smallest)
            ++slot;
        return static_cast<std::uint8_t>(slot);
    };
    for (std::size_t width = 1; width < slots.firstSlotOfWidth.size(); ++width)
        slots.firstSlotOfWidth[width] = slotOfSmallest(1u << (width - 1));
    for (std::size_t block = 0; block < slots.firstSlotOfBlock.size(); ++block)
        slots.firstSlotOfBlock[block] = slotOfSmallest(static_cast<std::uint32_t>(block) << slots.blockBits);
    return slots;
}

// 28 length slots: 8 without extra bits, then four each of 1 to 5 extra bits. Values 0..255.
inline constexpr Rar20Slots<28> rar20LengthSlots =
    makeRar20Slots<28>([](std::size_t i) { return i < 8 ? 0 : (i - 4) / 4; });

// 48 distance slots: 4 without extra bits, two each of 1 to 15 extra bits, then 14 of 16. Values 0..0xFFFFF.
inline constexpr Rar20Slots<48> rar20DistanceSlots = makeRar20Slots<48>([](std::size_t i) {
    return i < 4 ? 0 : i < 34 ? (i - 2) / 2 : std::size_t{16};
});

// The eight slots of the two-byte matches at distances 1..256. Values 0..255.
inline constexpr Rar20Slots<8> rar20ShortDistanceSlots =
    makeRar20Slots<8>([](std::size_t i) { return std::array{2, 2, 3, 4, 5, 6, 6, 6}[i]; });

static_assert(rar20LengthSlots.end() == 256 && rar20DistanceSlots.end() == 0x100000);
static_assert(rar20LengthSlots.base[27] == 224 && rar20LengthSlots.bits[27] == 5);
static_assert(rar20DistanceSlots.base[33] == 0x18000 && rar20DistanceSlots.base[47] == 0xF0000);
static_assert(rar20ShortDistanceSlots.base[7] == 192);
static_assert(rar20DistanceSlots.end() <=
              rar20DistanceSlots.firstSlotOfBlock.size() * rar20DistanceSlots.blockSize);
static_assert(rar20ShortDistanceSlots.end() == 256);

// The main table's symbols beyond the 256 literals, and the multimedia tables' table switch.
inline constexpr unsigned rar20LastMatchSymbol = 256;
inline constexpr unsigned rar20FirstRepeatSymbol = 257; // 257..260: the distance 1..4 matches ago
inline constexpr unsigned rar20FirstShortSymbol = 261;  // 261..268: two bytes, distance by short slot
inline constexpr unsigned rar20LzTableSwitchSymbol = 269;
inline constexpr unsigned rar20FirstMatchSymbol = 270; // 270..297: length slot; a distance symbol follows
inline constexpr unsigned rar20MultimediaTableSwitchSymbol = 256;

inline constexpr std::size_t rar20MainSymbols = 298;
inline constexpr std::size_t rar20DistanceSymbols = 48;
inline constexpr std::size_t rar20RepeatLengthSymbols = 28;
inline constexpr std::size_t rar20LzLengths =
    rar20MainSymbols + rar20DistanceSymbols + rar20RepeatLengthSymbols;
// Where an LZ table read's distance and repeat-length code lengths begin, after the main table's.
inline constexpr std::size_t rar20DistanceLengthsAt = rar20MainSymbols;
inline constexpr std::size_t rar20RepeatLengthLengthsAt = rar20MainSymbols + rar20DistanceSymbols;
inline constexpr std::size_t rar20MultimediaSymbols = 257;
inline constexpr int rar20MaxChannels = 4;
inline constexpr std::size_t rar20WindowSize = 0x100000;
