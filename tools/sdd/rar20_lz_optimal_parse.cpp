// The optimal parse: the cheapest sequence of literals and matches through a stretch, found by a shortest
// path over its positions where each step costs the bits its code takes under the current code lengths.
#include "tools/sdd/rar20_lz_parser.h"

#include "tools/sdd/huffman_code.h"
#include "tools/sdd/rar20_lz_prices.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

// The cheapest way found to reach a position: the step that arrives there (a literal has length 1). The
// decoder's record of matches after that step is worked out once the position is reached, from the step's
// start; keeping it in every node instead would copy it at each of the many improvements a node sees.
//
// Each position keeps only its cheapest path's record, so a distance that costs more to bring in but then
// repeats line after line (a column of a table, numbers counting up) would lose to a nearer one at its first
// step and never be seen paying off. So a match may also step on past one literal and the same distance
// again (`tail` bytes of it): the repeat priced as it will be coded, that way is weighed whole.
struct Node {
    std::uint32_t cost = std::numeric_limits<std::uint32_t>::max();
    std::uint32_t length = 0;
    std::uint32_t distance = 0;
    std::uint32_t tail = 0; // after the match, a literal and `tail` bytes more at the same distance

    std::uint32_t span() const { return tail == 0 ? length : length + 1 + tail; }
};

// The code lengths tables made for these weights would have.
std::vector<std::uint8_t> codeLengthsOf(std::span<const std::uint32_t> weights) {
    std::vector<std::uint8_t> lengths;
    for (const auto& [offset, size] : {std::pair{std::size_t{0}, rar20MainSymbols},
                                       std::pair{rar20DistanceLengthsAt, rar20DistanceSymbols},
                                       std::pair{rar20RepeatLengthLengthsAt, rar20RepeatLengthSymbols}}) {
        const std::vector<std::uint8_t> slice = codeLengthsFromWeights(weights.subspan(offset, size));
        lengths.insert(lengths.end(), slice.begin(), slice.end());
    }
    return lengths;
}

} // namespace

std::vector<Rar20LzParse> Rar20LzParser::parseOptimal(std::size_t begin, std::size_t end,
                                                      const Rar20LzState& state, std::size_t nextEnd) {
    // Collecting a stretch's matches depends on the bytes alone, weighing them on the prices the stretch
    // before left; so the next stretch is collected on another thread while this one is weighed.
    if (collectingNext_.valid()) {
        collectingNext_.get();
        std::swap(matches_, nextMatches_);
        if (matches_.begin != begin || matches_.end != end)
            throw std::logic_error("the parser was told of a next range that did not come");
    } else {
        collectMatches(begin, end, matches_);
    }
    if (nextEnd > end && nextEnd <= data_.size())
        collectingNext_ = std::async(std::launch::async,
                                     [this, end, nextEnd] { collectMatches(end, nextEnd, nextMatches_); });
    // The cheapest path is only as good as its prices, and each position keeps only the distance ring of
    // its cheapest path, so on some data one-step look-ahead still wins. So: a look-ahead parse priced by
    // the tables in use, then cheapest paths, each priced by the statistics of the parse before.
    std::vector<Rar20LzParse> parses;
    for (int round = 0; round <= effort_.optimalPasses; ++round) {
        const Rar20LzPrices prices =
            round == 0 ? prices_ : Rar20LzPrices(codeLengthsOf(lzSymbolWeights(parses.back().codes)));
        Rar20LzParse& parse = parses.emplace_back();
        if (round == 0) {
            parse.codes = std::move(spareCodes_);
            parse.codes.clear();
        }
        parse.stateAfter = state;
        if (round == 0)
            lookAheadPath(begin, end, prices, parse.stateAfter, parse.codes);
        else
            cheapestPath(begin, end, prices, parse.stateAfter, parse.codes);
    }
    return parses;
}

void Rar20LzParser::cheapestPath(std::size_t begin, std::size_t end, const Rar20LzPrices& prices,
                                 Rar20LzState& state, std::vector<Rar20LzCode>& codes) const {
    const std::size_t count = end - begin;
    std::vector<Node> nodes(count + 1);
    nodes[0].cost = 0;
    // Filled at the positions the search starts steps from, which the step arriving at each comes from.
    std::vector<Rar20LzState> states(count + 1);
    states[0] = state;

    for (std::size_t i = 0; i < count;) {
        const Node& from = nodes[i];
        if (i > 0) {
            states[i] = states[i - from.span()];
            if (from.distance != 0)
                states[i].remember(from.length, from.distance);
            if (from.tail != 0)
                states[i].remember(from.tail, from.distance);
        }
        const Rar20LzState& fromState = states[i];
        const std::size_t at = begin + i;
        const auto relax = [&](std::uint32_t length, std::uint32_t distance, std::uint32_t bits,
                               std::uint32_t tail = 0) {
            Node& to = nodes[i + length + (tail == 0 ? 0 : 1 + tail)];
            if (from.cost + bits < to.cost)
                to = {from.cost + bits, length, distance, tail};
        };
        relax(1, 0, prices.literal[data_[at]]);
        // The match of `length` at `distance` costing `bits`, then a literal and the same distance again as
        // far as it goes: the distance is then the newest in the ring, and the length the last one.
        const auto relaxWithTail = [&](std::uint32_t length, std::uint32_t distance, std::uint32_t bits) {
            const std::size_t literalAt = at + length;
            if (literalAt + 1 >= end)
                return;
            const auto tailMax = static_cast<std::uint32_t>(
                std::min<std::size_t>(end - literalAt - 1, Rar20LzState::maxLength));
            const std::uint32_t tail = finder_.commonLength(literalAt + 1 - distance, literalAt + 1, tailMax);
            const std::uint32_t shortest = Rar20LzState::minRepeatLengthAt(distance);
            if (tail < shortest)
                return;
            const std::uint32_t tailBits =
                tail == length ? prices.lastMatch : prices.repeat[0] + prices.repeatLength[tail - shortest];
            relax(length, distance, bits + prices.literal[data_[literalAt]] + tailBits, tail);
        };

        const auto maxLength =
            static_cast<std::uint32_t>(std::min<std::size_t>(count - i, Rar20LzState::maxLength));
        const auto reach = static_cast<std::uint32_t>(std::min<std::size_t>(at, Rar20LzState::maxDistance));
        std::uint32_t longest = 0;
        // The ring by age, asked about for every match here.
        const std::array<std::uint32_t, 4> ring = {fromState.recentDistance(1), fromState.recentDistance(2),
                                                   fromState.recentDistance(3), fromState.recentDistance(4)};
        // The distances in the ring, at every length their cheap codes can carry; a distance in it twice
        // is coded by its most recent age.
        for (int age = 1; age <= 4; ++age) {
            const std::uint32_t distance = ring[static_cast<std::size_t>(age - 1)];
            if (distance == 0 || distance > reach ||
                std::find(ring.begin(), ring.begin() + age - 1, distance) != ring.begin() + age - 1)
                continue;
            const std::uint32_t length = finder_.commonLength(at - distance, at, maxLength);
            longest = std::max(longest, length);
            // Priced as Rar20LzPrices::match prices a distance in the ring: the repeat code, or for the
            // last match's distance and length the code that repeats both.
            const std::uint32_t shortest = Rar20LzState::minRepeatLengthAt(distance);
            const std::uint32_t repeat = prices.repeat[static_cast<std::size_t>(age - 1)];
            const std::uint32_t lastLength = age == 1 ? fromState.lastLength() : 0;
            for (std::uint32_t l = shortest; l <= length; ++l)
                relax(l, distance,
                      l == lastLength ? prices.lastMatch : repeat + prices.repeatLength[l - shortest]);
            if (length >= shortest)
                relaxWithTail(length, distance,
                              length == lastLength ? prices.lastMatch
                                                   : repeat + prices.repeatLength[length - shortest]);
        }
        // The matches found here: each at the lengths no nearer match reaches, as nearer is cheaper. Those
        // in the ring were priced above.
        std::uint32_t shorter = 1;
        for (std::uint32_t k = matches_.first[i]; k < matches_.first[i + 1]; ++k) {
            const LzMatch match = matches_.matches[k];
            longest = std::max(longest, match.length);
            if (match.distance != ring[0] && match.distance != ring[1] && match.distance != ring[2] &&
                match.distance != ring[3]) {
                // Priced as Rar20LzPrices::match prices a distance outside the ring.
                if (match.length == 2) {
                    relax(2, match.distance, prices.shortMatch[match.distance - 1]);
                } else {
                    const std::uint32_t newDistance = prices.newDistance(match.distance);
                    const std::uint32_t minLength = Rar20LzState::minLengthAt(match.distance);
                    for (std::uint32_t l = std::max(shorter + 1, minLength); l <= match.length; ++l)
                        relax(l, match.distance, newDistance + prices.newLength[l - minLength]);
                    if (match.length >= minLength)
                        relaxWithTail(match.length, match.distance,
                                      newDistance + prices.newLength[match.length - minLength]);
                }
            }
            shorter = match.length;
        }
        // Inside a long match the other ways through are seldom cheaper, and weighing them all is slow.
        i += longest >= effort_.niceLength ? longest : 1;
    }

    std::vector<std::size_t> steps;
    for (std::size_t j = count; j > 0; j -= nodes[j].span())
        steps.push_back(j);
    std::size_t at = begin;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        const Node& node = nodes[*step];
        codes.push_back(node.distance == 0 ? Rar20LzState::literal(data_[at])
                                           : state.code(node.length, node.distance));
        at += node.length;
        if (node.tail != 0) {
            codes.push_back(Rar20LzState::literal(data_[at]));
            codes.push_back(state.code(node.tail, node.distance));
            at += 1 + node.tail;
        }
    }
}

Rar20LzParser::Step Rar20LzParser::bestStep(std::size_t at, std::size_t end, const Rar20LzPrices& prices,
                                            const Rar20LzState& state) const {
    Step best;
    const std::size_t i = at - matches_.begin;
    const auto maxLength =
        static_cast<std::uint32_t>(std::min<std::size_t>(end - at, Rar20LzState::maxLength));
    const auto reach = static_cast<std::uint32_t>(std::min<std::size_t>(at, Rar20LzState::maxDistance));
    const auto consider = [&](std::uint32_t length, std::uint32_t distance) {
        if (!state.canCode(length, distance))
            return;
        std::int64_t gain = 0;
        for (std::size_t k = 0; k < length; ++k)
            gain += prices.literal[data_[at + k]];
        gain -= prices.match(state, length, distance);
        if (gain > best.gain)
            best = {length, distance, gain};
    };
    for (int age = 1; age <= 4; ++age) {
        const std::uint32_t distance = state.recentDistance(age);
        if (distance != 0 && distance <= reach)
            consider(finder_.commonLength(at - distance, at, maxLength), distance);
    }
    for (std::uint32_t k = matches_.first[i]; k < matches_.first[i + 1]; ++k)
        consider(matches_.matches[k].length, matches_.matches[k].distance);
    return best;
}

void Rar20LzParser::lookAheadPath(std::size_t begin, std::size_t end, const Rar20LzPrices& prices,
                                  Rar20LzState& state, std::vector<Rar20LzCode>& codes) const {
    std::size_t at = begin;
    Step current = bestStep(at, end, prices, state);
    while (at < end) {
        // A literal here pays when the step from the next byte gains more; a literal leaves the ring as it
        // is.
        if (current.length != 0 && at + 1 < end) {
            const Step next = bestStep(at + 1, end, prices, state);
            if (next.gain > current.gain) {
                codes.push_back(Rar20LzState::literal(data_[at]));
                ++at;
                current = next;
                continue;
            }
        }
        if (current.length == 0) {
            codes.push_back(Rar20LzState::literal(data_[at]));
            ++at;
        } else {
            codes.push_back(state.code(current.length, current.distance));
            at += current.length;
        }
        current = at < end ? bestStep(at, end, prices, state) : Step{};
    }
}
