#include "app/win32/show_area.h"

#include "app/fitted_picture.h"

ShowArea showArea(bool modeTaken, std::uint32_t width, std::uint32_t height, const RECT& monitor) {
    if (modeTaken)
        return {{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)}, {}};
    const FittedArea fitted = fitPicture(static_cast<int>(width), static_cast<int>(height),
                                         monitor.right - monitor.left, monitor.bottom - monitor.top);
    const RECT picture{monitor.left + fitted.x, monitor.top + fitted.y,
                       monitor.left + fitted.x + fitted.width, monitor.top + fitted.y + fitted.height};
    const bool covered = picture.left == monitor.left && picture.top == monitor.top &&
                         picture.right == monitor.right && picture.bottom == monitor.bottom;
    return {picture, covered ? RECT{} : monitor};
}
