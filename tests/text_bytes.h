#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Bytes given as text: the scripts, lists and files the tests store and pack.
inline std::vector<std::uint8_t> text(std::string_view s) {
    return {s.begin(), s.end()};
}
