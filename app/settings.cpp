#include "app/settings.h"

Settings settings;

double windowAspect(const Settings& s) {
    return s.height > 0 && s.width > 0 ? static_cast<double>(s.width) / s.height : 4.0 / 3.0;
}
