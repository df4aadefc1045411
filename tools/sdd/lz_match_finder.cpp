#include "tools/sdd/lz_match_finder.h"

#include <algorithm>
#include <bit>

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
