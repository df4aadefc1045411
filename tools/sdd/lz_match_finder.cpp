#include "tools/sdd/lz_match_finder.h"

#include <algorithm>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "commonLength counts agreeing bytes from the low end");

LzMatchFinder::LzMatchFinder(const std::vector<std::uint8_t>& data, std::uint32_t windowSize,
                             int maxChainLength)
    : data_(data), windowSize_(windowSize), maxChainLength_(maxChainLength),
      tripleHead_(1u << tripleBits, none) {
    grow(0);
}

void LzMatchFinder::grow(std::size_t at) {
    const std::size_t size =
        std::min<std::size_t>(windowSize_, std::max(smallestChainTable, std::bit_ceil(at + 1)));
    chainHashBits_ = std::countr_zero(size);
    head_.assign(size, none);
    prev_.assign(size, none);
    // Everything before `at` is still within the window, as the window is at least the new size.
    for (std::size_t older = 0; older < at && older + 4 <= data_.size(); ++older)
        insertInChain(older);
}

void LzMatchFinder::insert(std::size_t at) {
    if (at + 3 > data_.size())
        return;
    tripleHead_[tripleHashAt(at)] = static_cast<std::uint32_t>(at);
    if (at + 4 > data_.size())
        return;
    if (at >= prev_.size() && prev_.size() < windowSize_)
        grow(at);
    insertInChain(at);
}

void LzMatchFinder::insertInChain(std::size_t at) {
    std::uint32_t& newest = head_[chainHashAt(at)];
    prev_[at & (prev_.size() - 1)] = newest;
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
