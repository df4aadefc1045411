#pragma once

#include "tools/sdd/rar20_lz_code.h"

#include <array>
#include <cstdint>
#include <span>

// What each part of an LZ code costs, in bits, symbol and extra bits together, under given code lengths
// (in table-read order: main, distance, repeat length). Both parsers weigh their choices by it.
struct Rar20LzPrices {
    std::array<std::uint32_t, 256> literal{};
    std::array<std::uint32_t, 256> newLength{};    // by length − minLengthAt(distance)
    std::array<std::uint32_t, 48> distanceSlot{};  // by distance slot
    std::array<std::uint32_t, 256> repeatLength{}; // by length − minRepeatLengthAt(distance)
    std::array<std::uint32_t, 4> repeat{};         // by age − 1
    std::array<std::uint32_t, 256> shortMatch{};   // by distance − 1
    std::uint32_t lastMatch = 0;

    // A symbol without a length is priced as if the next tables gave it a long code.
    explicit Rar20LzPrices(std::span<const std::uint8_t> lengths);

    // The bits of the code Rar20LzState::codeFor picks for the match, which must have one.
    std::uint32_t match(const Rar20LzState& state, std::uint32_t length, std::uint32_t distance) const {
        const int age = state.ringAge(distance);
        if (age == 1 && length == state.lastLength())
            return lastMatch;
        if (age != 0 && length >= Rar20LzState::minRepeatLengthAt(distance))
            return repeat[static_cast<std::size_t>(age - 1)] +
                   repeatLength[length - Rar20LzState::minRepeatLengthAt(distance)];
        if (length == 2)
            return shortMatch[distance - 1];
        return newLength[length - Rar20LzState::minLengthAt(distance)] + newDistance(distance);
    }

    // What the distance costs in a new-distance code.
    std::uint32_t newDistance(std::uint32_t distance) const {
        return distanceSlot[rar20DistanceSlots.slotOf(distance - 1)];
    }
};
