#pragma once

#include <cstdint>
#include <vector>

// Collects bits most-significant first, the order in which the RAR 2.0 decoder takes them from its input.
class BitWriter {
public:
    // Appends the low `bitCount` bits of `value` (at most 16), highest first.
    void put(std::uint32_t value, int bitCount) {
        for (int bit = bitCount - 1; bit >= 0; --bit) {
            pending_ = static_cast<std::uint8_t>(pending_ << 1 | ((value >> bit) & 1));
            if (++pendingBits_ == 8) {
                bytes_.push_back(pending_);
                pending_ = 0;
                pendingBits_ = 0;
            }
        }
    }

    // The bytes written so far, the last one filled up with zero bits; the writer starts over empty.
    std::vector<std::uint8_t> take() {
        if (pendingBits_ > 0)
            bytes_.push_back(static_cast<std::uint8_t>(pending_ << (8 - pendingBits_)));
        pending_ = 0;
        pendingBits_ = 0;
        return std::move(bytes_);
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint8_t pending_ = 0;
    int pendingBits_ = 0;
};
