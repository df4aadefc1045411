#pragma once

// Writes RAR 2.0 streams with flat code tables, in which every symbol of a table has a code of the same
// length, so a symbol's code is its own number. The tests and the benchmark use it to make members of any
// size quickly; what it writes follows the format, not the unpacker's code.

#include <array>
#include <cstdint>
#include <vector>

class FlatStream {
public:
    // A table read. LZ: main symbols get `mainBits` bits (9 or 10), distance slots 6, repeat-length slots 5.
    // Multimedia: every delta and the table switch of each channel get 9 bits.
    void lzTables(unsigned mainBits = 9) { tables(false, 1, mainBits); }
    void multimediaTables(unsigned channels) { tables(true, channels, 9); }

    void tableSwitch() { put(multimedia_ ? 256 : 269, mainBits_); }

    void literal(std::uint8_t byte) {
        put(byte, mainBits_);
        output_.push_back(byte);
    }

    // A match of 3 to 255 + the length bonus bytes, at a distance of 1 to 0x100000, coded with a length
    // slot (symbols 270 to 297) and a distance slot.
    void match(unsigned length, unsigned distance) {
        const unsigned bonus = (distance >= 0x2000) + (distance >= 0x40000);
        const unsigned lengthSlot = slotOf(lengthBits, length - 3 - bonus);
        put(270 + lengthSlot, mainBits_);
        put(length - 3 - bonus - base(lengthBits, lengthSlot), lengthBits[lengthSlot]);
        const unsigned distanceSlot = slotOf(distanceBits, distance - 1);
        put(distanceSlot, 6);
        put(distance - 1 - base(distanceBits, distanceSlot), distanceBits[distanceSlot]);
        for (unsigned i = 0; i < length; ++i)
            output_.push_back(output_[output_.size() - distance]);
    }

    // A multimedia delta; what it decodes to depends on the predictor, which this writer does not model.
    void delta(std::uint8_t value) { put(value, 9); }

    // The packed bytes, the last one padded with zero bits. The writer then stands where a solid
    // continuation starts: same tables, empty bit stream, output history kept.
    std::vector<std::uint8_t> take() {
        if (bitCount_ > 0)
            bytes_.push_back(static_cast<std::uint8_t>(pending_ << (8 - bitCount_)));
        pending_ = 0;
        bitCount_ = 0;
        std::vector<std::uint8_t> packed;
        packed.swap(bytes_);
        return packed;
    }

    // Everything the LZ steps so far decode to, over all members.
    const std::vector<std::uint8_t>& output() const { return output_; }

private:
    static constexpr std::array<std::uint8_t, 28> lengthBits{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                                             2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
    static constexpr std::array<std::uint8_t, 48> distanceBits{
        0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,  7,  7,  8,  8,  9,  9,  10, 10,
        11, 11, 12, 12, 13, 13, 14, 14, 15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};

    template <std::size_t N> static unsigned base(const std::array<std::uint8_t, N>& bits, unsigned slot) {
        unsigned value = 0;
        for (unsigned i = 0; i < slot; ++i)
            value += 1u << bits[i];
        return value;
    }
    template <std::size_t N> static unsigned slotOf(const std::array<std::uint8_t, N>& bits, unsigned value) {
        unsigned slot = 0;
        while (slot + 1 < N && base(bits, slot + 1) <= value)
            ++slot;
        return slot;
    }

    void tables(bool multimedia, unsigned channels, unsigned mainBits) {
        multimedia_ = multimedia;
        mainBits_ = mainBits;
        put(multimedia ? 2 : 0, 2); // multimedia bit; the keep-old-lengths bit clear
        if (multimedia)
            put(channels - 1, 2);
        // The 19 code-length symbols get 5 bits each, so a length is written as itself in 5 bits.
        for (int i = 0; i < 19; ++i)
            put(5, 4);
        const auto lengths = [&](unsigned count, unsigned length) {
            for (unsigned i = 0; i < count; ++i)
                put(length, 5);
        };
        if (multimedia) {
            lengths(257 * channels, 9);
        } else {
            lengths(298, mainBits);
            lengths(48, 6);
            lengths(28, 5);
        }
    }

    void put(unsigned value, unsigned count) {
        for (unsigned bit = count; bit-- > 0;) {
            pending_ = static_cast<std::uint8_t>(pending_ << 1 | ((value >> bit) & 1));
            if (++bitCount_ == 8) {
                bytes_.push_back(pending_);
                bitCount_ = 0;
            }
        }
    }

    std::vector<std::uint8_t> bytes_;
    std::uint8_t pending_ = 0;
    unsigned bitCount_ = 0;
    bool multimedia_ = false;
    unsigned mainBits_ = 9;
    std::vector<std::uint8_t> output_;
};
