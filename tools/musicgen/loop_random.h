// The music's own pseudo-random numbers: a fixed 32-bit LCG, so the bells fall at the same times and on the
// same notes whatever standard library builds the generator.
#pragma once

#include <cstdint>

class LoopRandom {
public:
    explicit LoopRandom(std::uint32_t seed) : state(seed) {}

    // A uniform number in [0, 1).
    double unit() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    }

    // A uniform whole number in [0, count).
    int below(int count) { return static_cast<int>(unit() * count); }

private:
    std::uint32_t state;
};
