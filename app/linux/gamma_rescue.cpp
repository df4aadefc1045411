#include "app/linux/gamma_rescue.h"

#include <algorithm>

std::unique_ptr<GammaRescue> GammaRescue::prepare(const std::string& displayName, int screen,
                                                  const std::vector<GammaRamp>& saved) {
    Display* display = XOpenDisplay(displayName.c_str());
    if (!display)
        return nullptr;
    std::unique_ptr<GammaRescue> rescue(new GammaRescue(display));
    int eventBase = 0, errorBase = 0;
    // Asking for the extension here also makes Xlib keep what it needs to know about it, which it would
    // otherwise allocate on the first request.
    if (!XRRQueryExtension(display, &eventBase, &errorBase))
        return rescue;
    XRRScreenResources* resources = XRRGetScreenResources(display, RootWindow(display, screen));
    if (!resources)
        return rescue;
    const std::size_t count = std::min(saved.size(), static_cast<std::size_t>(resources->ncrtc));
    for (std::size_t i = 0; i < count; ++i) {
        const GammaRamp& ramp = saved[i];
        if (ramp.size() == 0)
            continue;
        XRRCrtcGamma* gamma = XRRAllocGamma(static_cast<int>(ramp.size()));
        if (!gamma)
            continue;
        std::copy(ramp.red.begin(), ramp.red.end(), gamma->red);
        std::copy(ramp.green.begin(), ramp.green.end(), gamma->green);
        std::copy(ramp.blue.begin(), ramp.blue.end(), gamma->blue);
        rescue->ramps_.emplace_back(resources->crtcs[i], gamma);
    }
    XRRFreeScreenResources(resources);
    return rescue;
}

GammaRescue::~GammaRescue() {
    for (const auto& [crtc, gamma] : ramps_)
        XRRFreeGamma(gamma);
    XCloseDisplay(display_);
}

void GammaRescue::writeBack() const {
    for (const auto& [crtc, gamma] : ramps_)
        XRRSetCrtcGamma(display_, crtc, gamma);
    XFlush(display_);
}
