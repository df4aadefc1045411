#pragma once

#include <windows.h>

#include <cstdint>

// Where the show's picture lies on the first monitor. When the display took the settings' mode, the picture
// fills it from the top-left corner, Width × Height, as the mode is that size. When the display refused the
// mode, it stays in the desktop's: the picture is then drawn as large as the monitor allows with the shape of
// Width × Height, centred, and black bars cover the rest of the monitor, as a display that did change mode
// would show a picture of another shape.
struct ShowArea {
    RECT picture;
    RECT bars; // the whole monitor, behind the picture; empty when the picture covers it
};
ShowArea showArea(bool modeTaken, std::uint32_t width, std::uint32_t height, const RECT& monitor);

inline bool isEmpty(const RECT& area) {
    return area.right <= area.left || area.bottom <= area.top;
}
