#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// A member's packed bytes read as a stream of bits, most significant bit first, with 16 bits of look-ahead.
// Archivers end a member inside its last byte, but the look-ahead for its last codes reaches a little past
// it: bits past the end read as zero, and nothing is ever read outside the bytes.
class Rar20BitReader {
public:
    explicit Rar20BitReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // The next 16 bits, not consumed.
    std::uint32_t peek16() const {
        const std::size_t at = bitPosition_ >> 3;
        std::uint32_t word;
        if (at + 3 <= bytes_.size()) {
            word = std::uint32_t{bytes_[at]} << 16 | std::uint32_t{bytes_[at + 1]} << 8 | bytes_[at + 2];
        } else {
            word = 0;
            for (std::size_t i = 0; i < 3; ++i)
                word = word << 8 | (at + i < bytes_.size() ? bytes_[at + i] : 0u);
        }
        return (word >> (8 - (bitPosition_ & 7))) & 0xFFFF;
    }

    void skip(unsigned count) { bitPosition_ += count; }

    // Consumes `count` bits (0 to 16) and returns them as a number.
    std::uint32_t read(unsigned count) {
        const std::uint32_t value = peek16() >> (16 - count);
        skip(count);
        return value;
    }

    // True once more bits have been consumed than the bytes hold: the data was cut short or is corrupt.
    bool overrun() const { return bitPosition_ > bytes_.size() * 8; }

    // Bytes not yet (or not wholly) consumed; the byte holding the current bit counts as unread.
    std::size_t unreadBytes() const {
        const std::size_t at = bitPosition_ >> 3;
        return at < bytes_.size() ? bytes_.size() - at : 0;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t bitPosition_ = 0;
};
