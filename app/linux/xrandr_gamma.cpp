#include "app/linux/xrandr_gamma.h"

#include <algorithm>

XrandrGamma::XrandrGamma(Display* display, Window root) : display_(display) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (XRRQueryExtension(display, &eventBase, &errorBase) && XRRQueryVersion(display, &major, &minor) &&
        (major > 1 || (major == 1 && minor >= 2)))
        resources_ = XRRGetScreenResources(display, root);
}

XrandrGamma::~XrandrGamma() {
    if (resources_)
        XRRFreeScreenResources(resources_);
}

int XrandrGamma::crtcCount() {
    return resources_ ? resources_->ncrtc : 0;
}

GammaRamp XrandrGamma::read(int crtc) {
    GammaRamp ramp;
    if (crtc < 0 || crtc >= crtcCount())
        return ramp;
    const RRCrtc id = resources_->crtcs[crtc];
    const int size = XRRGetCrtcGammaSize(display_, id);
    XRRCrtcGamma* gamma = size > 0 ? XRRGetCrtcGamma(display_, id) : nullptr;
    if (!gamma)
        return ramp;
    const int n = std::min(size, gamma->size);
    ramp.red.assign(gamma->red, gamma->red + n);
    ramp.green.assign(gamma->green, gamma->green + n);
    ramp.blue.assign(gamma->blue, gamma->blue + n);
    XRRFreeGamma(gamma);
    return ramp;
}

bool XrandrGamma::write(int crtc, const GammaRamp& ramp) {
    if (crtc < 0 || crtc >= crtcCount() || ramp.size() == 0)
        return false;
    const RRCrtc id = resources_->crtcs[crtc];
    if (XRRGetCrtcGammaSize(display_, id) != static_cast<int>(ramp.size()))
        return false;
    XRRCrtcGamma* gamma = XRRAllocGamma(static_cast<int>(ramp.size()));
    if (!gamma)
        return false;
    std::copy(ramp.red.begin(), ramp.red.end(), gamma->red);
    std::copy(ramp.green.begin(), ramp.green.end(), gamma->green);
    std::copy(ramp.blue.begin(), ramp.blue.end(), gamma->blue);
    XRRSetCrtcGamma(display_, id, gamma);
    XRRFreeGamma(gamma);
    // The ramp must be on the server before a run goes on (or ends): a restore that sat in Xlib's buffer
    // when the process exits would be lost.
    XSync(display_, False);
    return true;
}
