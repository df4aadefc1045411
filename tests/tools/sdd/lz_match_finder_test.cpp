#include "tools/sdd/lz_match_finder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

// Text-like data with repeats of many lengths at many distances: words of a random vocabulary, and now and
// then a random letter that breaks a repeat.
std::vector<std::uint8_t> wordSoup(std::size_t size) {
    std::mt19937 random(7);
    std::vector<std::string> words(16);
    for (std::string& word : words)
        for (std::size_t letters = 2 + random() % 8; letters > 0; --letters)
            word += static_cast<char>('a' + random() % 3);
    std::vector<std::uint8_t> data;
    while (data.size() < size) {
        const std::string& word = words[random() % words.size()];
        data.insert(data.end(), word.begin(), word.end());
        data.push_back(random() % 4 == 0 ? static_cast<std::uint8_t>('a' + random() % 26) : ' ');
    }
    data.resize(size);
    return data;
}

// The longest match for `at` at most `limit` bytes and at least `minimum` long, the nearest of that length,
// by trying every distance.
LzMatch longestByHand(const std::vector<std::uint8_t>& data, std::size_t at, std::uint32_t limit,
                      std::uint32_t minimum) {
    LzMatch longest;
    for (std::size_t from = at; from-- > 0;) {
        std::uint32_t length = 0;
        while (length < limit && data[from + length] == data[at + length])
            ++length;
        if (length >= minimum && length > longest.length)
            longest = {length, static_cast<std::uint32_t>(at - from)};
    }
    return longest;
}

} // namespace

// With steps enough to see every position, both indexes report real matches, nearest first with rising
// lengths, the last of them the longest there is, and the nearest of that length.
TEST(LzMatchFinder, BothIndexesFindTheLongestMatchNearestFirst) {
    const std::vector<std::uint8_t> data = wordSoup(3000);
    constexpr std::uint32_t nice = 24;
    const auto atLeastThree = [](std::uint32_t) { return 3u; };
    for (const LzIndex index : {LzIndex::hashChains, LzIndex::binaryTrees}) {
        LzMatchFinder finder(data, 1u << 16, index, 100000, nice);
        std::vector<LzMatch> matches;
        for (std::size_t at = 0; at < data.size(); ++at) {
            const auto limit = static_cast<std::uint32_t>(std::min<std::size_t>(nice, data.size() - at));
            finder.findAll(at, limit, static_cast<std::uint32_t>(at), atLeastThree, matches);
            LzMatch before;
            for (const LzMatch& match : matches) {
                ASSERT_TRUE(match.distance > before.distance && match.length > before.length) << at;
                ASSERT_EQ(std::memcmp(&data[at - match.distance], &data[at], match.length), 0) << at;
                before = match;
            }
            if (limit >= 4) {
                const LzMatch longest = longestByHand(data, at, limit, 3);
                ASSERT_TRUE(before.length == longest.length && before.distance == longest.distance)
                    << "index " << static_cast<int>(index) << " at " << at;
            }
        }
    }
}
