#include "app/linux/gamma_guard.h"

#include <algorithm>
#include <cmath>

GammaRamp exponentRamp(float exponent, std::size_t size) {
    GammaRamp ramp;
    ramp.red.resize(size);
    for (std::size_t k = 0; k < size; ++k) {
        const double value = std::pow(static_cast<double>(k) / static_cast<double>(size), exponent) * 65536.0;
        ramp.red[k] = static_cast<std::uint16_t>(std::min(value, 65535.0));
    }
    ramp.green = ramp.red;
    ramp.blue = ramp.red;
    return ramp;
}

GammaGuard::GammaGuard(CrtcGamma& crtcs) : crtcs_(crtcs) {
    const int count = crtcs.crtcCount();
    for (int i = 0; i < count; ++i)
        saved_.push_back(crtcs.read(i));
}

void GammaGuard::apply(float exponent) {
    for (std::size_t i = 0; i < saved_.size(); ++i) {
        if (saved_[i].size() == 0)
            continue;
        changed_ = true;
        crtcs_.write(static_cast<int>(i), exponentRamp(exponent, saved_[i].size()));
    }
}

void GammaGuard::restoreThrough(CrtcGamma& crtcs) {
    if (!changed_)
        return;
    changed_ = false;
    const int count = std::min(crtcs.crtcCount(), static_cast<int>(saved_.size()));
    for (int i = 0; i < count; ++i)
        if (saved_[i].size() != 0)
            crtcs.write(i, saved_[i]);
}
