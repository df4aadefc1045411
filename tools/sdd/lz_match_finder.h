#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct LzMatch {
    std::uint32_t length = 0; // 0: none found
    std::uint32_t distance = 0;
};

// Finds earlier occurrences of the bytes at a position through hash chains over three-byte prefixes. The
// chains hold positions within one window of the newest, so memory stays fixed however long the data.
// `data` may grow between calls (a solid archive appends each member); positions are visited in order,
// each exactly once, by find or by skip.
class LzMatchFinder {
public:
    LzMatchFinder(const std::vector<std::uint8_t>& data, std::uint32_t windowSize, int maxChainLength);

    // The longest match for `at`, at most `maxLength` bytes, at most `maxDistance` back, among the
    // `maxChainLength` nearest positions with the same prefix; the nearest wins a tie. A match shorter than
    // minLengthAt(distance) is not one. Then `at` joins the chains.
    template <typename MinLength>
    LzMatch find(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance, MinLength minLengthAt);

    // Every match for `at` longer than all nearer ones, nearest first (so lengths rise), at most `maxLength`
    // bytes and `maxDistance` back, among the `maxChainLength` nearest positions with the same prefix; each
    // at least minLengthAt(distance) long. They replace what `matches` held. Then `at` joins the chains.
    template <typename MinLength>
    void findAll(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance, MinLength minLengthAt,
                 std::vector<LzMatch>& matches);

    // `at` joins the chains without a search.
    void skip(std::size_t at) { insert(at); }

    // How many of the bytes at `a` and `b` agree, up to `limit`.
    std::uint32_t commonLength(std::size_t a, std::size_t b, std::uint32_t limit) const;

private:
    static constexpr int hashBits = 17;
    static constexpr std::uint32_t none = 0xFFFFFFFF;

    std::uint32_t hashAt(std::size_t at) const {
        const std::uint8_t* p = data_.data() + at;
        const std::uint32_t prefix = std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
        return (prefix * 2654435761u) >> (32 - hashBits);
    }
    void insert(std::size_t at);
    // Walks the chain of `at`, calling `found` with each match longer than those before it, then inserts
    // `at`.
    template <typename MinLength, typename Found>
    void walkChain(std::size_t at, std::uint32_t maxLength, std::uint32_t maxDistance, MinLength minLengthAt,
                   Found found);

    const std::vector<std::uint8_t>& data_;
    std::uint32_t windowMask_;
    int maxChainLength_;
    std::vector<std::uint32_t> head_; // per hash: the newest position
    std::vector<std::uint32_t> prev_; // per position (mod window): the next older one of the same hash
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
    std::uint32_t candidate = head_[hashAt(at)];
    for (int chain = maxChainLength_; candidate != none && chain > 0; --chain) {
        const std::uint32_t distance = static_cast<std::uint32_t>(at - candidate);
        if (distance > maxDistance)
            break;
        // Only a candidate that beats the best so far in its last byte can be longer.
        if (bytes[candidate + bestLength] == bytes[at + bestLength]) {
            const std::uint32_t length = commonLength(candidate, at, maxLength);
            if (length > bestLength && length >= minLengthAt(distance)) {
                bestLength = length;
                found(LzMatch{length, distance});
                if (length == maxLength)
                    break;
            }
        }
        const std::uint32_t older = prev_[candidate & windowMask_];
        if (older == none || older >= candidate)
            break;
        candidate = older;
    }
    insert(at);
}
