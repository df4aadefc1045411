#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Members are one file when their names are the same byte for byte, '/' and '\' being the same folder
// separator: on a system that tells case apart, README and readme are two files, and an archive keeps both.
// The key a name is found by under that rule.
std::string sameFileKey(std::string_view name);
// The order of names under that rule, as their keys compare, without making the keys: so that the names of a
// large tree can be sorted and searched where they are.
bool sameFileBefore(std::string_view a, std::string_view b);

// The places 0 to count - 1 in the order of their names under that rule, `name(i)` giving each; places of the
// same name keep their order.
template <typename Name> std::vector<std::uint32_t> sameFileOrder(std::size_t count, const Name& name) {
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    std::ranges::stable_sort(order, sameFileBefore,
                             [&](std::uint32_t i) { return std::string_view(name(i)); });
    return order;
}

// The first place in such an order whose name is `wanted` under that rule, if there is one.
template <typename Name>
std::optional<std::size_t> findSameFile(const std::vector<std::uint32_t>& order, std::string_view wanted,
                                        const Name& name) {
    const auto found = std::ranges::lower_bound(order, wanted, sameFileBefore,
                                                [&](std::uint32_t i) { return std::string_view(name(i)); });
    if (found == order.end() || sameFileBefore(wanted, name(*found)))
        return std::nullopt;
    return *found;
}

// The names a system that ignores case (Windows, macOS as a rule) could not hold side by side: for each name
// that differs from an earlier one only in the case of its letters, its place and the earliest such one's, in
// the order of the later names.
std::vector<std::pair<std::size_t, std::size_t>> caseOnlyClashes(const std::vector<std::string_view>& names);
