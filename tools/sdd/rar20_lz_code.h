#pragma once

#include "data/rar20_tables.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// One step of an LZ-mode stream: a main-table symbol with its extra bits, and for matches that need one a
// second symbol (from the distance or the repeat-length table) with its own extra bits.
struct Rar20LzCode {
    enum class Second : std::uint8_t { none, distance, repeatLength };

    std::uint16_t mainSymbol = 0;
    std::uint8_t mainExtraBits = 0;
    Second second = Second::none;
    std::uint8_t secondSymbol = 0;
    std::uint8_t secondExtraBits = 0;
    std::uint32_t mainExtra = 0;
    std::uint32_t secondExtra = 0;
};

// How often each symbol of an LZ table read (main, distance, repeat length) is written by `codes`.
std::vector<std::uint32_t> lzSymbolWeights(std::span<const Rar20LzCode> codes);

// What the decoder remembers of earlier matches: the four last distances and the last length. The packer
// keeps the same record so it can use the cheap codes that refer to it.
class Rar20LzState {
public:
    static constexpr std::uint32_t maxDistance = rar20WindowSize - 1;
    // Every code can carry a match of this length, whatever its distance.
    static constexpr std::uint32_t maxLength = 257;

    // The shortest match a new-distance code can carry at this distance: far matches are coded one or two
    // shorter than they are.
    static constexpr std::uint32_t minLengthAt(std::uint32_t distance) {
        return 3 + (distance >= 0x2000) + (distance >= 0x40000);
    }
    // The same for a distance repeated from the ring, whose codes count from 2.
    static constexpr std::uint32_t minRepeatLengthAt(std::uint32_t distance) {
        return 2 + (distance >= 0x101) + (distance >= 0x2000) + (distance >= 0x40000);
    }

    // The distance `age` matches ago, 1 to 4 (0 before there were that many).
    std::uint32_t recentDistance(int age) const {
        return ring_[(ringIndex_ - static_cast<unsigned>(age)) & 3];
    }

    // The length of the last match, which the cheapest code of all repeats.
    std::uint32_t lastLength() const { return lastLength_; }

    // How many matches ago `distance` was used, 1 to 4 (the most recent when it is in the ring twice), or 0.
    int ringAge(std::uint32_t distance) const {
        for (int age = 1; age <= 4; ++age)
            if (recentDistance(age) == distance)
                return age;
        return 0;
    }

    // Whether a match of this length and distance has a code now.
    bool canCode(std::uint32_t length, std::uint32_t distance) const;

    // The same, and the state after it.
    Rar20LzCode code(std::uint32_t length, std::uint32_t distance);

    // The state after the match, without its code.
    void remember(std::uint32_t length, std::uint32_t distance) {
        ring_[ringIndex_++ & 3] = distance;
        lastLength_ = length;
    }

    static Rar20LzCode literal(std::uint8_t byte) { return {byte}; }

private:
    // The cheapest code for the match (which must have one).
    Rar20LzCode codeFor(std::uint32_t length, std::uint32_t distance) const;

    std::array<std::uint32_t, 4> ring_{};
    unsigned ringIndex_ = 0;
    std::uint32_t lastLength_ = 0;
};
