#pragma once

#include <cstdint>
#include <vector>

// Collects bits most-significant first, the order in which the RAR 2.0 decoder takes them from its input.
class BitWriter {
public:
    // Appends the low `bitCount` bits of `value` (at most 16), highest first.
    void put(std::uint32_t value, int bitCount) {
        pending_ = pending_ << bitCount | (value & ((1u << bitCount) - 1));
        pendingBits_ += bitCount;
        // Whole bytes go out four at a time: a byte at a time cost as much as the rest of the writing.
        if (pendingBits_ >= 32) {
            pendingBits_ -= 32;
            const auto word = static_cast<std::uint32_t>(pending_ >> pendingBits_);
            bytes_.insert(bytes_.end(),
                          {static_cast<std::uint8_t>(word >> 24), static_cast<std::uint8_t>(word >> 16),
                           static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)});
        }
    }

    // The whole bytes written so far, given out; the bits of a byte not yet whole stay.
    std::vector<std::uint8_t> takeWholeBytes() {
        std::vector<std::uint8_t> taken = std::move(bytes_);
        bytes_.clear();
        return taken;
    }

    // The bytes written so far, the last one filled up with zero bits; the writer starts over empty.
    std::vector<std::uint8_t> take() {
        for (; pendingBits_ >= 8; pendingBits_ -= 8)
            bytes_.push_back(static_cast<std::uint8_t>(pending_ >> (pendingBits_ - 8)));
        if (pendingBits_ > 0)
            bytes_.push_back(static_cast<std::uint8_t>(pending_ << (8 - pendingBits_)));
        pending_ = 0;
        pendingBits_ = 0;
        std::vector<std::uint8_t> taken = std::move(bytes_);
        bytes_.clear();
        return taken;
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t pending_ = 0; // the low pendingBits_ bits (fewer than 32) are not yet in bytes_
    int pendingBits_ = 0;
};
