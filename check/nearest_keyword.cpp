#include "check/nearest_keyword.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <vector>

namespace {

bool sameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

} // namespace

std::size_t editDistance(std::string_view a, std::string_view b) {
    // One row of the classic table at a time: row[j] is the distance from the first i letters of `a` to the
    // first j letters of `b`.
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] =
                std::min({above + 1, row[j - 1] + 1, diagonal + (sameLetter(a[i - 1], b[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string_view nearestKeyword(std::string_view word, std::span<const std::string_view> known) {
    std::string_view nearest;
    std::size_t best = 0;
    for (const std::string_view keyword : known) {
        const std::size_t distance = editDistance(word, keyword);
        if (nearest.empty() || distance < best) {
            nearest = keyword;
            best = distance;
        }
    }
    return nearest;
}
