#include "app/fitted_picture.h"

#include <algorithm>

FittedArea fitPicture(int width, int height, int windowWidth, int windowHeight) {
    // The larger scale that still fits both ways; the rest of the window stays black. A sliver of a shape
    // keeps one pixel rather than vanish.
    if (static_cast<long long>(windowWidth) * height <= static_cast<long long>(windowHeight) * width) {
        const int fittedHeight =
            std::max(1, static_cast<int>(static_cast<long long>(windowWidth) * height / width));
        return {0, (windowHeight - fittedHeight) / 2, windowWidth, fittedHeight};
    }
    const int fittedWidth =
        std::max(1, static_cast<int>(static_cast<long long>(windowHeight) * width / height));
    return {(windowWidth - fittedWidth) / 2, 0, fittedWidth, windowHeight};
}
