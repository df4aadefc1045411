#include "app/settings.h"

Settings settings;

double windowAspect(std::uint32_t width, std::uint32_t height) {
    return width > 0 && height > 0 ? static_cast<double>(width) / height : 4.0 / 3.0;
}
