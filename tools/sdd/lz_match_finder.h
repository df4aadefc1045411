#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

struct LzMatch {
    std::uint32_t length = 0; // 0: none found
    std::uint32_t distance = 0;
};

// How the finder keeps the positions it has seen, by their four-byte prefix.
enum class LzIndex {
    // A chain per prefix, newest first: a position joins at once, which suits the look-ahead parse, that
    // searches few of the positions inside the matches it takes. A search walks the chain, and on pictures
    // and sound, where short prefixes recur everywhere, most of what it walks is no use.
    hashChains,
    // A binary tree per prefix, ordered by the bytes that follow each position, newest at the root: a search
    // goes down one path, so it visits few positions however often the prefix recurs, and joining is a
    // search. That suits the optimal parse, which searches every position.
    binaryTrees,
};

// Finds earlier occurrences of the bytes at a position: the nearest with the same three bytes, from a table
// of their latest positions (a three-byte match is only worth coding near, where the nearest is the one to
// take), and longer matches through the index. The index holds positions within one window of the newest,
// so memory stays fixed however long the data; for data shorter than the window it grows with it, which
// keeps it in the processor's cache. `data` may grow between calls (a solid archive appends each member)
// and lose bytes at its front (dropFront), so that it holds no more than the window and what comes next;
// positions are visited in order, each exactly once, by find, findAll or skip.
//
// The index orders a position by the bytes that follow it: four for a chain's prefix hash, treeLength for a
// tree. A position near the end of the data has fewer, and the bytes still to come decide where it belongs
// (a tree that guessed would send later searches down the wrong side and report matches that are not
// there), so it is searched but waits to join the index until the data has grown enough. Searches try the
// waiting positions one by one: they are the nearest of all, and never more than those few bytes.
class LzMatchFinder {
public:
    // findAll visits at most `maxSteps` positions of the index; find is told how many with each search.
    // Trees order positions by at most `treeLength` bytes, so their matches are at most that long.
    LzMatchFinder(const std::vector<std::uint8_t>& data, std::uint32_t windowSize, LzIndex index,
                  int maxSteps, std::uint32_t treeLength);

    // The longest match for `at` found in at most `steps` positions of the index, at most `maxLength` bytes,
    // at most `maxDistance` back; the nearest wins a tie. A match shorter than minLengthAt(distance) is not
    // one. Then `at` joins the index.
    template <typename MinLength>
    LzMatch find(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance, MinLength minLengthAt,
                 int steps);

    // Every match found for `at` longer than all nearer ones, nearest first (so lengths rise), at most
    // `maxLength` bytes and `maxDistance` back, each at least minLengthAt(distance) long. They replace what
    // `matches` held. Then `at` joins the index.
    template <typename MinLength>
    void findAll(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance, MinLength minLengthAt,
                 std::vector<LzMatch>& matches);

    // `at` joins the index without reporting matches.
    void skip(std::size_t at);

    // How many of the bytes at `a` and `b` agree, up to `limit`.
    std::uint32_t commonLength(std::size_t a, std::size_t b, std::uint32_t limit) const;

    // The data has lost its first `count` bytes, so every position moves down by as much; those that were
    // before it are forgotten. `count` is a multiple of the window size, so each position keeps its place in
    // the index, and no position still to be visited may be within one window of the bytes dropped: the
    // index then finds exactly what it would have found with them.
    void dropFront(std::size_t count);

private:
    static constexpr std::uint32_t none = 0xFFFFFFFF;
    static constexpr std::size_t smallestIndex = 4096;
    static constexpr int tripleBits = 16;
    static constexpr int treeHashBits = 16;
    static constexpr int chainBucketShift = 2; // positions per chain bucket: 4

    std::uint32_t prefixHashAt(std::size_t at) const {
        const std::uint8_t* p = data_.data() + at;
        const std::uint32_t prefix =
            std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
        return (prefix * 2654435761u) >> (32 - prefixHashBits_);
    }
    std::uint32_t tripleHashAt(std::size_t at) const {
        const std::uint8_t* p = data_.data() + at;
        const std::uint32_t prefix = std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
        return (prefix * 2654435761u) >> (32 - tripleBits);
    }
    std::size_t indexedPositions() const { return links_.size() / (index_ == LzIndex::binaryTrees ? 2 : 1); }
    bool canJoin(std::size_t at) const { return at + joinBytes_ <= data_.size(); }
    // Joins, in order, the waiting positions before `at` that the data now has the bytes for.
    void joinWaiting(std::size_t at) {
        for (; waitingFrom_ < at && canJoin(waitingFrom_); ++waitingFrom_)
            join(waitingFrom_);
    }
    // `at`, which can join, joins the three-byte table and the index without reporting matches.
    void join(std::size_t at);

    // Reports the longest match among the waiting positions and the nearest three-byte match, then searches
    // at most `steps` positions of the index, which `at` joins when it can; `found` is called with each
    // match longer than those before it.
    template <typename MinLength, typename Found>
    void search(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance, MinLength minLengthAt,
                Found found, int steps);
    // Makes the index big enough to hold `at` and the window before it; asked at every position, so the
    // answer is here and the work in growIndex. Then asks the processor for the index entry a few positions
    // on: over a large window it is seldom in the cache, and positions are mostly visited one after another.
    void makeRoomFor(std::size_t at) {
        const std::size_t held = indexedPositions();
        if (held == 0 || (at >= held && held < windowSize_))
            growIndex(at);
        if (at + prefetchDistance + 4 <= data_.size())
            __builtin_prefetch(&head_[prefixHashAt(at + prefetchDistance)]);
    }
    static constexpr std::size_t prefetchDistance = 8;
    void growIndex(std::size_t at);
    template <typename MinLength, typename Found>
    void walkChain(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance, MinLength minLengthAt,
                   Found found, std::uint32_t bestLength, int steps) const;
    void joinChain(std::size_t at);
    // Goes down the tree of `at`'s prefix, reporting matches longer than `bestLength`, and if `joining`
    // makes `at` its root: the positions visited are split into those ordered before `at` and those after.
    // (A template argument, as this is the packer's innermost loop.)
    template <bool joining, typename MinLength, typename Found>
    void walkTree(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance, MinLength minLengthAt,
                  Found found, std::uint32_t bestLength, int steps);

    const std::vector<std::uint8_t>& data_;
    std::uint32_t windowSize_;
    LzIndex index_;
    int maxSteps_;
    std::uint32_t treeLength_;
    std::uint32_t joinBytes_; // the bytes a position needs after it to join the index
    int prefixHashBits_ = 0;
    std::vector<std::uint32_t> tripleHead_; // per three-byte hash: the newest position
    std::vector<std::uint32_t> head_;       // per four-byte hash: the newest position
    // Per position modulo the positions the index holds: the next older one of the same hash (chains), or
    // the roots of the older positions ordered before and after it (trees).
    std::vector<std::uint32_t> links_;
    // Positions from here up to the last one visited have been searched but wait to join the index.
    std::size_t waitingFrom_ = 0;
};

template <typename MinLength>
LzMatch LzMatchFinder::find(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance,
                            MinLength minLengthAt, int steps) {
    LzMatch best;
    search(
        at, maxLength, maxDistance, minLengthAt, [&](const LzMatch& longer) { best = longer; }, steps);
    return best;
}

template <typename MinLength>
void LzMatchFinder::findAll(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance,
                            MinLength minLengthAt, std::vector<LzMatch>& matches) {
    matches.clear();
    search(
        at, maxLength, maxDistance, minLengthAt, [&](const LzMatch& longer) { matches.push_back(longer); },
        maxSteps_);
}

template <typename MinLength, typename Found>
void LzMatchFinder::search(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance,
                           MinLength minLengthAt, Found found, int steps) {
    joinWaiting(at);
    if (at + 3 > data_.size())
        return;
    std::uint32_t bestLength = 0;
    const auto tryFrom = [&](std::size_t from) {
        const auto distance = static_cast<std::uint32_t>(at - from);
        if (distance > maxDistance)
            return;
        const std::uint32_t length = commonLength(from, at, maxLength);
        if (length > bestLength && length >= 3 && length >= minLengthAt(distance)) {
            bestLength = length;
            found(LzMatch{length, distance});
        }
    };
    for (std::size_t from = at; from-- > waitingFrom_;)
        tryFrom(from);
    std::uint32_t& nearest = tripleHead_[tripleHashAt(at)];
    if (nearest != none)
        tryFrom(nearest);
    if (!canJoin(at)) {
        // The tree can still be searched as far as the bytes there are; the chains need all four.
        if (index_ == LzIndex::binaryTrees && at + 4 <= data_.size() && !links_.empty())
            walkTree<false>(at, maxLength, maxDistance, minLengthAt, found, bestLength, steps);
        return;
    }
    // Nothing waits before `at` now, as every position before it has more bytes after it.
    nearest = static_cast<std::uint32_t>(at);
    makeRoomFor(at);
    if (index_ == LzIndex::binaryTrees) {
        walkTree<true>(at, maxLength, maxDistance, minLengthAt, found, bestLength, steps);
    } else {
        walkChain(at, maxLength, maxDistance, minLengthAt, found, bestLength, steps);
        joinChain(at);
    }
    waitingFrom_ = at + 1;
}

template <typename MinLength, typename Found>
void LzMatchFinder::walkChain(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance,
                              MinLength minLengthAt, Found found, std::uint32_t bestLength, int steps) const {
    const std::uint8_t* bytes = data_.data();
    std::uint32_t candidate = head_[prefixHashAt(at)];
    for (int step = steps; candidate != none && step > 0 && bestLength < maxLength; --step) {
        const auto distance = static_cast<std::uint32_t>(at - candidate);
        if (distance > maxDistance)
            break;
        // Only a candidate that beats the best so far in its last byte can be longer.
        if (bytes[candidate + bestLength] == bytes[at + bestLength]) {
            const std::uint32_t length = commonLength(candidate, at, maxLength);
            if (length > bestLength && length >= minLengthAt(distance)) {
                bestLength = length;
                found(LzMatch{length, distance});
            }
        }
        const std::uint32_t older = links_[candidate & (links_.size() - 1)];
        if (older == none || older >= candidate)
            break;
        candidate = older;
    }
}

template <bool joining, typename MinLength, typename Found>
void LzMatchFinder::walkTree(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance,
                             MinLength minLengthAt, Found found, std::uint32_t bestLength, int steps) {
    const std::uint8_t* bytes = data_.data();
    const std::size_t positions = indexedPositions();
    const auto limit = static_cast<std::uint32_t>(std::min<std::size_t>(treeLength_, data_.size() - at));
    std::uint32_t& root = head_[prefixHashAt(at)];
    std::uint32_t candidate = root;
    if constexpr (joining)
        root = static_cast<std::uint32_t>(at);
    // Where the next position ordered before (after) `at` hangs, and how many bytes all positions there
    // share with `at`: any position between two others shares at least the lesser of their lengths.
    std::uint32_t* before = &links_[2 * (at & (positions - 1))];
    std::uint32_t* after = before + 1;
    std::uint32_t beforeLength = 0, afterLength = 0;
    for (int step = steps;; --step) {
        // A position a whole index back has lost its links to newer ones; the rest of the path goes.
        if (candidate == none || step == 0 || at - candidate >= positions) {
            if constexpr (joining)
                *before = *after = none;
            return;
        }
        const auto distance = static_cast<std::uint32_t>(at - candidate);
        std::uint32_t length = std::min(beforeLength, afterLength);
        length += commonLength(candidate + length, at + length, limit - length);
        const std::uint32_t reported = std::min(length, maxLength);
        if (reported > bestLength && distance <= maxDistance && reported >= minLengthAt(distance)) {
            bestLength = reported;
            found(LzMatch{reported, distance});
        }
        std::uint32_t* children = &links_[2 * (candidate & (positions - 1))];
        if (length == limit) {
            // As far as the tree orders, the candidate is `at`: `at` takes its place and its subtrees.
            if constexpr (joining) {
                *before = children[0];
                *after = children[1];
            }
            return;
        }
        if (bytes[candidate + length] < bytes[at + length]) {
            if constexpr (joining)
                *before = candidate;
            before = &children[1];
            candidate = children[1];
            beforeLength = length;
        } else {
            if constexpr (joining)
                *after = candidate;
            after = &children[0];
            candidate = children[0];
            afterLength = length;
        }
    }
}

static_assert(std::endian::native == std::endian::little,
              "commonLength counts agreeing bytes from the low end");

inline std::uint32_t LzMatchFinder::commonLength(std::size_t a, std::size_t b, std::uint32_t limit) const {
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
