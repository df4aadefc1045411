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
// lengths, the last of them the longest there is, and the nearest of that length, whether the positions
// before were searched or only skipped. The data grows a piece at a time, as a solid archive's members are
// appended, and many pieces are shorter than the trees order by: the bytes that follow a position near the
// end of a piece are not there yet.
TEST(LzMatchFinder, BothIndexesFindTheLongestMatchNearestFirst) {
    const std::vector<std::uint8_t> whole = wordSoup(3000);
    constexpr std::uint32_t nice = 24;
    const auto atLeastThree = [](std::uint32_t) { return 3u; };
    for (const LzIndex index : {LzIndex::hashChains, LzIndex::binaryTrees}) {
        std::vector<std::uint8_t> data;
        LzMatchFinder finder(data, 1u << 16, index, 100000, nice);
        std::mt19937 random(11);
        std::vector<LzMatch> matches;
        while (data.size() < whole.size()) {
            const std::size_t begin = data.size();
            const std::size_t piece = std::min<std::size_t>(whole.size() - begin, 1 + random() % 60);
            data.insert(data.end(), whole.begin() + static_cast<std::ptrdiff_t>(begin),
                        whole.begin() + static_cast<std::ptrdiff_t>(begin + piece));
            for (std::size_t at = begin; at < data.size(); ++at) {
                // As inside a long match the parser takes, some positions only join the index.
                if (random() % 8 == 0) {
                    finder.skip(at);
                    continue;
                }
                const auto limit = static_cast<std::uint32_t>(std::min<std::size_t>(nice, data.size() - at));
                finder.findAll(at, limit, static_cast<std::uint32_t>(at), atLeastThree, matches);
                LzMatch before;
                for (const LzMatch& match : matches) {
                    ASSERT_TRUE(match.distance > before.distance && match.length > before.length) << at;
                    ASSERT_EQ(std::memcmp(&data[at - match.distance], &data[at], match.length), 0)
                        << "index " << static_cast<int>(index) << " at " << at;
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
}

// A finder whose data loses its front now and then, a window or more at a time as the packer drops what no
// match can reach, finds exactly what a finder over the whole data finds, with either index and with few
// steps, where every link of a chain or tree counts.
TEST(LzMatchFinder, DroppingWhatNoMatchReachesChangesNoMatch) {
    constexpr std::uint32_t window = 4096;
    const std::vector<std::uint8_t> whole = wordSoup(16 * window);
    const auto atLeastThree = [](std::uint32_t) { return 3u; };
    for (const LzIndex index : {LzIndex::hashChains, LzIndex::binaryTrees}) {
        std::vector<std::uint8_t> kept = whole;
        LzMatchFinder all(whole, window, index, 6, 32);
        LzMatchFinder dropping(kept, window, index, 6, 32);
        std::size_t dropped = 0;
        std::mt19937 random(5);
        std::vector<LzMatch> expected, found;
        for (std::size_t at = 0; at < whole.size(); ++at) {
            if (at - dropped >= 3 * window) {
                const std::size_t count = (1 + random() % 2) * window;
                kept.erase(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(count));
                dropping.dropFront(count);
                dropped += count;
            }
            if (random() % 8 == 0) {
                all.skip(at);
                dropping.skip(at - dropped);
                continue;
            }
            const auto limit = static_cast<std::uint32_t>(std::min<std::size_t>(32, whole.size() - at));
            const auto reach = static_cast<std::uint32_t>(std::min<std::size_t>(at, window - 1));
            all.findAll(at, limit, reach, atLeastThree, expected);
            dropping.findAll(at - dropped, limit, reach, atLeastThree, found);
            ASSERT_EQ(found.size(), expected.size()) << "index " << static_cast<int>(index) << " at " << at;
            for (std::size_t i = 0; i < found.size(); ++i)
                ASSERT_TRUE(found[i].length == expected[i].length &&
                            found[i].distance == expected[i].distance)
                    << "index " << static_cast<int>(index) << " at " << at;
        }
    }
}
