#pragma once

#include <string>
#include <string_view>
#include <vector>

// The members the patterns of x and p select, and the patterns that selected none.
class MemberSelection {
public:
    explicit MemberSelection(const std::vector<std::string>& patterns)
        : patterns_(patterns), used_(patterns.size(), false) {}

    // Whether the patterns select the name (no patterns: every name); each pattern that does is noted.
    bool selects(std::string_view name);

    // Names each pattern that selected nothing, as an error of `archive`; how many there were.
    int reportUnused(const std::string& archive) const;

private:
    const std::vector<std::string>& patterns_;
    std::vector<bool> used_;
};
