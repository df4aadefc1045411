#include "tools/sdd/rar20_lz_parser.h"

#include <algorithm>

namespace {

// The code lengths before any tables: literals at 8 bits and matches at about what their codes take in
// typical data.
std::array<std::uint8_t, rar20LzLengths> initialCodeLengths() {
    std::array<std::uint8_t, rar20LzLengths> lengths;
    lengths.fill(6);
    std::fill_n(lengths.begin(), 256, 8);
    return lengths;
}

// After 2^sparseSearchShift bytes without a match the look-ahead parse searches every other byte, after twice
// as many every third, and so on.
constexpr int sparseSearchShift = 8;

std::uint32_t pairAt(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 8 | p[1];
}

} // namespace

Rar20LzParser::Rar20LzParser(const std::vector<std::uint8_t>& data, const Rar20LzEffort& effort)
    : data_(data), effort_(effort),
      finder_(data, rar20WindowSize, effort.optimalPasses > 0 ? LzIndex::binaryTrees : LzIndex::hashChains,
              effort.searchSteps, effort.niceLength),
      pairEnd_(1u << 16, 0), prices_(initialCodeLengths()) {}

void Rar20LzParser::settle() {
    if (collectingNext_.valid())
        collectingNext_.wait();
}

void Rar20LzParser::dropFront(std::size_t count) {
    settle();
    finder_.dropFront(count);
    for (std::uint32_t& pairEnd : pairEnd_)
        pairEnd = pairEnd > count ? static_cast<std::uint32_t>(pairEnd - count) : 0;
    if (collectingNext_.valid()) {
        nextMatches_.begin -= count;
        nextMatches_.end -= count;
    }
}

void Rar20LzParser::useCodeLengths(std::span<const std::uint8_t> lengths) {
    prices_ = Rar20LzPrices(lengths);
}

void Rar20LzParser::consider(Candidate& best, std::size_t at, std::uint32_t length, std::uint32_t distance,
                             const Rar20LzState& state) const {
    if (!state.canCode(length, distance))
        return;
    const std::size_t i = at - literalBitsFrom_;
    const int literalBits = static_cast<int>(literalBitsBefore_[i + length] - literalBitsBefore_[i]);
    const int gain = literalBits - static_cast<int>(prices_.match(state, length, distance));
    if (gain > best.gain)
        best = {length, distance, gain};
}

Rar20LzParser::Candidate Rar20LzParser::best(std::size_t at, std::size_t end, const Rar20LzState& state,
                                             int steps) {
    Candidate best;
    const auto maxLength =
        static_cast<std::uint32_t>(std::min<std::size_t>(end - at, Rar20LzState::maxLength));
    const auto reach = static_cast<std::uint32_t>(std::min<std::size_t>(at, Rar20LzState::maxDistance));

    // No code is shorter than two bytes, so a distance whose first two bytes differ (as most in the ring
    // do, most of the time) is passed over at once.
    if (maxLength >= 2) {
        const std::uint32_t pair = pairAt(data_.data() + at);
        for (int age = 1; age <= 4; ++age) {
            const std::uint32_t distance = state.recentDistance(age);
            if (distance != 0 && distance <= reach && pairAt(data_.data() + at - distance) == pair)
                consider(best, at, finder_.commonLength(at - distance, at, maxLength), distance, state);
        }
        std::uint32_t& pairEnd = pairEnd_[pair];
        if (pairEnd != 0 && at + 1 - pairEnd <= 256)
            consider(best, at, 2, static_cast<std::uint32_t>(at + 1 - pairEnd), state);
        pairEnd = static_cast<std::uint32_t>(at + 1);
    }
    if (best.length < effort_.niceLength && maxLength >= 3) {
        const LzMatch found = finder_.find(
            at, std::min(maxLength, effort_.niceLength), reach,
            [](std::uint32_t distance) { return Rar20LzState::minLengthAt(distance); }, steps);
        // The search stops at a nice length; the match itself may go on.
        if (found.length == effort_.niceLength)
            consider(best, at, finder_.commonLength(at - found.distance, at, maxLength), found.distance,
                     state);
        else if (found.length != 0)
            consider(best, at, found.length, found.distance, state);
    } else {
        finder_.skip(at);
    }
    return best;
}

void Rar20LzParser::skip(std::size_t at) {
    if (at + 2 <= data_.size())
        pairEnd_[pairAt(data_.data() + at)] = static_cast<std::uint32_t>(at + 1);
    finder_.skip(at);
}

std::vector<Rar20LzParse> Rar20LzParser::parse(std::size_t begin, std::size_t end, const Rar20LzState& state,
                                               std::size_t nextEnd) {
    if (effort_.optimalPasses > 0)
        return parseOptimal(begin, end, state, nextEnd);
    // What the bytes of the range cost as literals, summed from its start, for weighing matches in it.
    literalBitsFrom_ = begin;
    literalBitsBefore_.resize(end - begin + 1);
    literalBitsBefore_[0] = 0;
    for (std::size_t at = begin; at < end; ++at)
        literalBitsBefore_[at - begin + 1] = literalBitsBefore_[at - begin] + prices_.literal[data_[at]];
    std::vector<Rar20LzParse> parses(1);
    parses[0].codes = std::move(spareCodes_);
    parses[0].codes.clear();
    parses[0].stateAfter = state;
    parseLazy(begin, end, parses[0].stateAfter, parses[0].codes);
    return parses;
}

void Rar20LzParser::parseLazy(std::size_t begin, std::size_t end, Rar20LzState& state,
                              std::vector<Rar20LzCode>& codes) {
    const int steps = effort_.searchSteps;
    std::size_t at = begin;
    std::size_t unmatched = 0; // bytes since the last match
    Candidate current = at < end ? best(at, end, state, steps) : Candidate{};
    while (at < end) {
        if (current.length == 0) {
            // Data that has gone long without a match (packed or encrypted files, mostly) is searched ever
            // more sparsely: each search walks a chain through the processor's cache misses, and on such
            // data finds nothing. The bytes between searches still join the index, so a later copy of them
            // is found at its first search; the first match brings back a search at every byte.
            codes.push_back(Rar20LzState::literal(data_[at]));
            const std::size_t runEnd = std::min(end, at + 1 + (unmatched >> sparseSearchShift));
            unmatched += runEnd - at;
            while (++at < runEnd) {
                codes.push_back(Rar20LzState::literal(data_[at]));
                skip(at);
            }
            if (at < end)
                current = best(at, end, state, steps);
            continue;
        }
        unmatched = 0;
        if (effort_.lazy && current.length < effort_.niceLength && at + 1 < end) {
            const bool good = effort_.goodLength != 0 && current.length >= effort_.goodLength;
            const Candidate next = best(at + 1, end, state, good ? steps / 4 : steps);
            if (next.gain > current.gain) {
                codes.push_back(Rar20LzState::literal(data_[at]));
                ++at;
                current = next;
                continue;
            }
            // at + 1 has been searched, and so joined the chains, already.
            for (std::size_t i = at + 2; i < at + current.length; ++i)
                skip(i);
        } else {
            for (std::size_t i = at + 1; i < at + current.length; ++i)
                skip(i);
        }
        codes.push_back(state.code(current.length, current.distance));
        at += current.length;
        current = at < end ? best(at, end, state, steps) : Candidate{};
    }
}

void Rar20LzParser::collectMatches(std::size_t begin, std::size_t end, StretchMatches& into) {
    into.begin = begin;
    into.end = end;
    std::vector<LzMatch>& matches = into.matches;
    std::vector<std::uint32_t>& first = into.first;
    matches.clear();
    first.assign(1, 0);
    std::vector<LzMatch> found;
    for (std::size_t at = begin; at < end;) {
        const auto maxLength =
            static_cast<std::uint32_t>(std::min<std::size_t>(end - at, Rar20LzState::maxLength));
        const auto reach = static_cast<std::uint32_t>(std::min<std::size_t>(at, Rar20LzState::maxDistance));
        // A two-byte match comes first: it is the shortest, and the finder only has three bytes and more.
        if (maxLength >= 2 && at + 2 <= data_.size()) {
            std::uint32_t& pairEnd = pairEnd_[pairAt(data_.data() + at)];
            if (pairEnd != 0 && at + 1 - pairEnd <= 256)
                matches.push_back({2, static_cast<std::uint32_t>(at + 1 - pairEnd)});
            pairEnd = static_cast<std::uint32_t>(at + 1);
        }
        found.clear();
        if (maxLength >= 3)
            finder_.findAll(
                at, std::min(maxLength, effort_.niceLength), reach,
                [](std::uint32_t distance) { return Rar20LzState::minLengthAt(distance); }, found);
        else
            finder_.skip(at);
        if (!found.empty() && found.back().length == effort_.niceLength)
            found.back().length = finder_.commonLength(at - found.back().distance, at, maxLength);
        matches.insert(matches.end(), found.begin(), found.end());
        first.push_back(static_cast<std::uint32_t>(matches.size()));
        ++at;
        if (!found.empty() && found.back().length >= effort_.niceLength) {
            for (const std::size_t skipEnd = at - 1 + found.back().length; at < skipEnd; ++at) {
                skip(at);
                first.push_back(static_cast<std::uint32_t>(matches.size()));
            }
        }
    }
}
