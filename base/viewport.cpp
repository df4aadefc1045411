#include "base/viewport.h"

namespace {

Viewport current;

} // namespace

double Viewport::aspect() const {
    return width > 0 && height > 0 ? static_cast<double>(width) / height : 4.0 / 3.0;
}

const Viewport& viewport() {
    return current;
}

void setViewport(int width, int height) {
    current = {width, height};
}
