#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A display mode as the settings dialog lists it: "1024 x 768 32 bits".
struct DisplayMode {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bitsPerPixel = 0;

    bool operator==(const DisplayMode&) const = default;
};

std::string formatDisplayMode(const DisplayMode& mode);

// Reads the list's text back; nothing when it is not a mode's text.
std::optional<DisplayMode> parseDisplayMode(const std::string& text);

// Decides, mode by mode in the display's enumeration order, which modes the list offers: those of at least
// 640 × 480 with 16 bits per pixel, each once even when the display enumerates it at several refresh rates in
// a row.
class DisplayModeFilter {
public:
    bool offer(const DisplayMode& mode);

private:
    std::optional<DisplayMode> previousKept_;
};
