#include "app/win32/display_mode_list.h"

#include <cstdio>

std::string formatDisplayMode(const DisplayMode& mode) {
    char text[64];
    std::snprintf(text, sizeof text, "%u x %u %u bits", mode.width, mode.height, mode.bitsPerPixel);
    return text;
}

std::optional<DisplayMode> parseDisplayMode(const std::string& text) {
    DisplayMode mode;
    if (std::sscanf(text.c_str(), "%u x %u %u bits", &mode.width, &mode.height, &mode.bitsPerPixel) != 3)
        return std::nullopt;
    return mode;
}

bool DisplayModeFilter::offer(const DisplayMode& mode) {
    if (mode.width < 640 || mode.height < 480 || mode.bitsPerPixel < 16)
        return false;
    const bool repeated = previousKept_ == mode;
    previousKept_ = mode;
    return !repeated;
}
