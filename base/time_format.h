#pragma once

#include <optional>
#include <string_view>

// The TimeFormat setting as people write it, "12" or "24" hours, or as it is stored, "1" (12 hours) or "0"
// (24): true for the 12-hour clock, nothing for any other text. Saves keep 1 and 0, which stored files and
// the Windows registry hold.
inline std::optional<bool> parseTimeFormat(std::string_view text) {
    if (text == "12" || text == "1")
        return true;
    if (text == "24" || text == "0")
        return false;
    return std::nullopt;
}
