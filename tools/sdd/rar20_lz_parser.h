#pragma once

#include "tools/sdd/lz_match_finder.h"
#include "tools/sdd/rar20_lz_code.h"
#include "tools/sdd/rar20_lz_prices.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <future>
#include <span>
#include <vector>

// The codes of a stretch and the decoder's record of matches after them.
struct Rar20LzParse {
    std::vector<Rar20LzCode> codes;
    Rar20LzState stateAfter;
};

// How hard the parser looks: more search steps find longer and nearer matches, lazy matching looks one
// byte ahead before taking a match, and a match of `niceLength` ends the search at once. Once a match of
// `goodLength` (if not 0) is in hand, the look one byte ahead takes a quarter of the steps: it seldom finds
// a better one then, and on pictures most searches would run all their steps for nothing. With optimal
// passes the parser records every position's matches first (through binary trees, as it searches every
// position), then weighs every way through the stretch and takes the cheapest, that many times, each pass
// pricing the codes by the statistics of the parse before.
struct Rar20LzEffort {
    int searchSteps;
    bool lazy;
    std::uint32_t niceLength;
    std::uint32_t goodLength = 0;
    int optimalPasses = 0;
    // How many times the packer may halve a stretch into blocks with tables of their own: each halving
    // weighs twice as many pieces, and past a few it seldom pays on the look-ahead parse's codes.
    int splitDepth = 5;
};

// Turns bytes into LZ codes: literals, and matches found through the hash chains, in the distance ring
// (cheap to code) and, for two-byte matches, among the last 256 bytes. Matches are weighed by the bits they
// save over literals, so a far match must be longer than a near one to be taken. The look-ahead parse
// searches as it goes; the optimal parse (rar20_lz_optimal_parse.cpp) searches the stretch first.
class Rar20LzParser {
public:
    Rar20LzParser(const std::vector<std::uint8_t>& data, const Rar20LzEffort& effort);

    // Ways to code data[begin, end), each with the decoder's record of matches after it: the look-ahead
    // parse, and with optimal passes one more per pass. Which is cheapest depends on how the codes are
    // then cut into blocks, so the caller chooses. Matches stay inside the range and reach back at most to
    // position 0, where the decoder's window started (or, once the data has lost its front, one window
    // before). Ranges come in order, each right after the last; `state` is the record before `begin`. When
    // the next range is known to end at `nextEnd` (within the data there is now), the optimal parse
    // collects its matches on another thread meanwhile; `data` must not change until the next call or
    // settle().
    std::vector<Rar20LzParse> parse(std::size_t begin, std::size_t end, const Rar20LzState& state,
                                    std::size_t nextEnd = 0);

    // Room for the codes of the next parse: a stretch's codes take some MiB on data without matches, and
    // the vector given back once the last stretch is written keeps them from being made anew each time.
    void reuseForCodes(std::vector<Rar20LzCode>&& codes) { spareCodes_ = std::move(codes); }

    // Waits for what the parser does with the data on another thread, so that the data may grow.
    void settle();
    // The data has lost its first `count` bytes (see LzMatchFinder::dropFront): every position moves down
    // by as much. Settles first.
    void dropFront(std::size_t count);

    // The code lengths of the LZ tables in use (main, distance, repeat length): the parser weighs
    // literals and matches by them, as the data ahead is likely to be coded much like the data before.
    void useCodeLengths(std::span<const std::uint8_t> lengths);

private:
    struct Candidate {
        std::uint32_t length = 0;
        std::uint32_t distance = 0;
        int gain = 0; // bits saved over coding the bytes as literals
    };

    // The optimal parser's record of the matches at each position of a stretch: matches[first[i]] up to
    // matches[first[i + 1]] for position begin + i, kept so every pass prices the same choices.
    struct StretchMatches {
        std::size_t begin = 0;
        std::size_t end = 0;
        std::vector<LzMatch> matches;
        std::vector<std::uint32_t> first;
    };

    void parseLazy(std::size_t begin, std::size_t end, Rar20LzState& state, std::vector<Rar20LzCode>& codes);
    std::vector<Rar20LzParse> parseOptimal(std::size_t begin, std::size_t end, const Rar20LzState& state,
                                           std::size_t nextEnd);
    // The cheapest path through data[begin, end) at these prices, and the state after it.
    void cheapestPath(std::size_t begin, std::size_t end, const Rar20LzPrices& prices, Rar20LzState& state,
                      std::vector<Rar20LzCode>& codes) const;
    // The same with one-step look-ahead: a match is taken unless the one from the next byte gains more.
    void lookAheadPath(std::size_t begin, std::size_t end, const Rar20LzPrices& prices, Rar20LzState& state,
                       std::vector<Rar20LzCode>& codes) const;
    struct Step {
        std::uint32_t length = 0; // 0: a literal is best
        std::uint32_t distance = 0;
        std::int64_t gain = 0; // bits saved over literals
    };
    // The recorded match or ring distance at `at` that saves the most bits over literals.
    Step bestStep(std::size_t at, std::size_t end, const Rar20LzPrices& prices,
                  const Rar20LzState& state) const;

    // Searches `at` (which joins the chains) for the best match that ends by `end`, walking at most
    // `steps` positions of the chains.
    Candidate best(std::size_t at, std::size_t end, const Rar20LzState& state, int steps);
    void consider(Candidate& best, std::size_t at, std::uint32_t length, std::uint32_t distance,
                  const Rar20LzState& state) const;
    void skip(std::size_t at);
    // Records the matches at every position of data[begin, end); inside a match of niceLength or more only
    // the first position is searched. Uses the finder and pairEnd_, which nothing else touches meanwhile.
    void collectMatches(std::size_t begin, std::size_t end, StretchMatches& into);

    const std::vector<std::uint8_t>& data_;
    Rar20LzEffort effort_;
    LzMatchFinder finder_;
    // Per two-byte pair: one past its latest position (0: not seen), for two-byte matches.
    std::vector<std::uint32_t> pairEnd_;
    // What codes are likely to cost: the data ahead is likely to be coded much like the data before.
    Rar20LzPrices prices_;
    // The look-ahead parse's range from literalBitsFrom_: per position, the estimated bits of the bytes
    // before it as literals.
    std::size_t literalBitsFrom_ = 0;
    std::vector<std::uint32_t> literalBitsBefore_;
    std::vector<Rar20LzCode> spareCodes_;
    StretchMatches matches_;     // of the stretch being parsed
    StretchMatches nextMatches_; // of the next one, while collectingNext_ is valid
    std::future<void> collectingNext_;
};
