#include "tools/sdd/name_clash.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace {

char sameFileChar(char c) {
    return c == '/' ? '\\' : c;
}

// ASCII letters only: how other scripts fold differs between those systems, and this is a warning.
char foldedChar(char c) {
    c = sameFileChar(c);
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Compares as the strings of mapped characters would, byte values unsigned as std::string compares them.
template <typename Map> bool mappedBefore(std::string_view a, std::string_view b, Map map) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
        return static_cast<unsigned char>(map(x)) < static_cast<unsigned char>(map(y));
    });
}

} // namespace

std::string sameFileKey(std::string_view name) {
    std::string key(name);
    std::ranges::transform(key, key.begin(), sameFileChar);
    return key;
}

bool sameFileBefore(std::string_view a, std::string_view b) {
    return mappedBefore(a, b, sameFileChar);
}

std::vector<std::pair<std::size_t, std::size_t>> caseOnlyClashes(const std::vector<std::string_view>& names) {
    // Sorted by the folded name where the names lie, rather than gathered under copies of them; the stable
    // sort keeps each group in the order of the names, so a group's first is its earliest.
    std::vector<std::uint32_t> order(names.size());
    std::iota(order.begin(), order.end(), 0u);
    const auto foldedBefore = [](std::string_view a, std::string_view b) {
        return mappedBefore(a, b, foldedChar);
    };
    std::ranges::stable_sort(
        order, [&](std::uint32_t a, std::uint32_t b) { return foldedBefore(names[a], names[b]); });
    std::vector<std::pair<std::size_t, std::size_t>> clashes;
    for (std::size_t group = 0; group < order.size();) {
        const std::size_t first = order[group];
        std::size_t next = group + 1;
        for (; next < order.size() && !foldedBefore(names[first], names[order[next]]); ++next)
            if (sameFileBefore(names[first], names[order[next]]) ||
                sameFileBefore(names[order[next]], names[first]))
                clashes.emplace_back(order[next], first);
        group = next;
    }
    std::ranges::sort(clashes);
    return clashes;
}
