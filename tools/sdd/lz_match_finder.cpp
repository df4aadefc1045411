#include "tools/sdd/lz_match_finder.h"

LzMatchFinder::LzMatchFinder(const std::vector<std::uint8_t>& data, std::uint32_t windowSize, LzIndex index,
                             int maxSteps, std::uint32_t treeLength)
    : data_(data), windowSize_(windowSize), index_(index), maxSteps_(maxSteps), treeLength_(treeLength),
      joinBytes_(index == LzIndex::binaryTrees ? std::max(treeLength, 4u) : 4u),
      tripleHead_(1u << tripleBits, none) {}

void LzMatchFinder::skip(std::size_t at) {
    joinWaiting(at);
    if (canJoin(at)) {
        join(at);
        waitingFrom_ = at + 1;
    }
}

void LzMatchFinder::join(std::size_t at) {
    tripleHead_[tripleHashAt(at)] = static_cast<std::uint32_t>(at);
    makeRoomFor(at);
    if (index_ == LzIndex::binaryTrees)
        walkTree<true>(
            at, 0, 0, [](std::uint32_t) { return 0u; }, [](const LzMatch&) {}, none, maxSteps_);
    else
        joinChain(at);
}

void LzMatchFinder::growIndex(std::size_t at) {
    // Room for all the data there is now, so that the index is made once for each member.
    const std::size_t positions =
        std::min<std::size_t>(windowSize_, std::max(smallestIndex, std::bit_ceil(data_.size())));
    if (index_ == LzIndex::binaryTrees) {
        // A tree is ordered by the bytes, not the hash, so one hash table serves every size, and a larger
        // index keeps every link where it was: positions so far are all below the old size.
        if (head_.empty()) {
            prefixHashBits_ = treeHashBits;
            head_.assign(std::size_t{1} << treeHashBits, none);
        }
        links_.resize(2 * positions, none);
        return;
    }
    // Chains get a bucket per few positions, so a chain seldom holds positions of other prefixes (each a
    // miss in the processor's cache to find out) while the heads cost a quarter of the links, not as much
    // again; a new hash puts every position so far in its chain again, all of them still within the window.
    prefixHashBits_ = std::countr_zero(positions) - chainBucketShift;
    head_.assign(positions >> chainBucketShift, none);
    links_.assign(positions, none);
    for (std::size_t older = 0; older < at; ++older)
        joinChain(older);
}

void LzMatchFinder::joinChain(std::size_t at) {
    std::uint32_t& newest = head_[prefixHashAt(at)];
    links_[at & (links_.size() - 1)] = newest;
    newest = static_cast<std::uint32_t>(at);
}

void LzMatchFinder::dropFront(std::size_t count) {
    const auto moveDown = [count](std::vector<std::uint32_t>& positions) {
        for (std::uint32_t& position : positions)
            position =
                position == none || position < count ? none : static_cast<std::uint32_t>(position - count);
    };
    moveDown(tripleHead_);
    moveDown(head_);
    moveDown(links_);
    waitingFrom_ -= count;
}
