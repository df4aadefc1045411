#pragma once

#include <cstddef>
#include <span>
#include <string_view>

// The number of single-character insertions, deletions and substitutions that turn `a` into `b`, letters
// compared without regard to case: how far a mistyped keyword is from the one meant.
std::size_t editDistance(std::string_view a, std::string_view b);

// The keyword of `known` nearest to `word` (the first of equally near ones); empty when `known` is.
std::string_view nearestKeyword(std::string_view word, std::span<const std::string_view> known);
