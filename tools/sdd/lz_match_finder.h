#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

struct LzMatch {
    std::uint32_t length = 0; // 0: none found
    std::uint32_t distance = 0;
};

// Finds earlier occurrences of the bytes at a position: the nearest with the same three bytes from a table
// of their latest positions, and longer matches through hash chains over four-byte prefixes. Chains over
// three bytes would be far longer on sound and pictures, where three bytes recur everywhere, and walking
// them cost most of the packing time; a three-byte match is only worth coding near, where the nearest
// occurrence is the one to take. The chains hold positions within one window of the newest, so memory
// stays fixed however long the data. Their hash table has a bucket for each position they hold, so a chain
// seldom holds positions of other prefixes, each a miss in the processor's cache to find out; for data
// shorter than the window both grow with it.
// `data` may grow between calls (a solid archive appends each member); positions are visited in order,
// each exactly once, by find or by skip.
class LzMatchFinder {
public:
    LzMatchFinder(const std::vector<std::uint8_t>& data, std::uint32_t windowSize, int maxChainLength);

    // The longest match for `at`, at most `maxLength` bytes, at most `maxDistance` back, among the nearest
    // position with the same three bytes and the `maxChainLength` nearest with the same four-byte prefix; the
    // nearest wins a tie. A match shorter than minLengthAt(distance) is not one. Then `at` joins the chains.
    template <typename MinLength>
    LzMatch find(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance, MinLength minLengthAt);

    // Every match for `at` longer than all nearer ones, nearest first (so lengths rise), at most `maxLength`
    // bytes and `maxDistance` back, among the same positions as for find; each
    // at least minLengthAt(distance) long. They replace what `matches` held. Then `at` joins the chains.
    template <typename MinLength>
    void findAll(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance, MinLength minLengthAt,
                 std::vector<LzMatch>& matches);

    // `at` joins the chains without a search.
    void skip(std::size_t at) { insert(at); }

    // How many of the bytes at `a` and `b` agree, up to `limit`.
    std::uint32_t commonLength(std::size_t a, std::size_t b, std::uint32_t limit) const;

private:
    static constexpr std::uint32_t none = 0xFFFFFFFF;
    static constexpr std::size_t smallestChainTable = 4096;

    static constexpr int tripleBits = 16;

    std::uint32_t chainHashAt(std::size_t at) const {
        const std::uint8_t* p = data_.data() + at;
        const std::uint32_t prefix =
            std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
        return (prefix * 2654435761u) >> (32 - chainHashBits_);
    }
    std::uint32_t tripleHashAt(std::size_t at) const {
        const std::uint8_t* p = data_.data() + at;
        const std::uint32_t prefix = std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
        return (prefix * 2654435761u) >> (32 - tripleBits);
    }
    void insert(std::size_t at);
    // Makes the chains big enough for `at` and puts every position before it in them again.
    void grow(std::size_t at);
    void insertInChain(std::size_t at);
    // Walks the chain of `at`, calling `found` with each match longer than those before it, then inserts
    // `at`.
    template <typename MinLength, typename Found>
    void walkChain(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance, MinLength minLengthAt,
                   Found found);

    const std::vector<std::uint8_t>& data_;
    std::uint32_t windowSize_;
    int maxChainLength_;
    int chainHashBits_ = 0;
    std::vector<std::uint32_t> tripleHead_; // per three-byte hash: the newest position
    std::vector<std::uint32_t> head_;       // per four-byte hash: the newest position
    std::vector<std::uint32_t> prev_;       // per position modulo its size: the next older of the same hash
};

template <typename MinLength>
LzMatch LzMatchFinder::find(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance,
                            MinLength minLengthAt) {
    LzMatch best;
    walkChain(at, maxLength, maxDistance, minLengthAt, [&](const LzMatch& longer) { best = longer; });
    return best;
}

template <typename MinLength>
void LzMatchFinder::findAll(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance,
                            MinLength minLengthAt, std::vector<LzMatch>& matches) {
    matches.clear();
    walkChain(at, maxLength, maxDistance, minLengthAt,
              [&](const LzMatch& longer) { matches.push_back(longer); });
}

template <typename MinLength, typename Found>
void LzMatchFinder::walkChain(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance,
                              MinLength minLengthAt, Found found) {
    if (at + 3 > data_.size())
        return;
    const std::uint8_t* bytes = data_.data();
    std::uint32_t bestLength = 0;
    const std::uint32_t nearest = tripleHead_[tripleHashAt(at)];
    if (nearest != none && at - nearest <= maxDistance) {
        const auto distance = static_cast<std::uint32_t>(at - nearest);
        const std::uint32_t length = commonLength(nearest, at, maxLength);
        if (length >= 3 && length >= minLengthAt(distance)) {
            bestLength = length;
            found(LzMatch{length, distance});
        }
    }
    std::uint32_t candidate = at + 4 <= data_.size() ? head_[chainHashAt(at)] : none;
    for (int chain = maxChainLength_; candidate != none && chain > 0 && bestLength < maxLength; --chain) {
        const std::uint32_t distance = static_cast<std::uint32_t>(at - candidate);
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
        const std::uint32_t older = prev_[candidate & (prev_.size() - 1)];
        if (older == none || older >= candidate)
            break;
        candidate = older;
    }
    insert(at);
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
