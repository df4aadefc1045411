#include "tools/sdd/lz_match_finder.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "commonLength counts agreeing bytes from the low end");

LzMatchFinder::LzMatchFinder(const std::vector<std::uint8_t>& data, std::uint32_t windowSize,
                             int maxChainLength)
    : data_(data), windowMask_(windowSize - 1), maxChainLength_(maxChainLength), head_(1u << hashBits, none),
      prev_(windowSize, none) {}

void LzMatchFinder::insert(std::size_t at) {
    if (at + 3 > data_.size())
        return;
    std::uint32_t& newest = head_[hashAt(at)];
    prev_[at & windowMask_] = newest;
    newest = static_cast<std::uint32_t>(at);
}

std::uint32_t LzMatchFinder::commonLength(std::size_t a, std::size_t b, std::uint32_t limit) const {
    const std::uint8_t* x = data_.data() + a;
    const std::uint8_t* y = data_.data() + b;
    std::uint32_t length = 0;
    // Eight bytes at a time; the first differing bit of the XOR tells how many bytes agree.
    while (length + 8 <= limit) {
        std::uint64_t u, v;
        std::memcpy(&u, x + length, 8);
        std::memcpy(&v, y + length, 8);
        if (u != v)
            return length + static_cast<std::uint32_t>(__builtin_ctzll(u ^ v) / 8);
        length += 8;
    }
    while (length < limit && x[length] == y[length])
        ++length;
    return length;
}
