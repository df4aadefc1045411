#pragma once

#include "app/linux/crtc_gamma.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

// The CRTC gamma ramps of one X screen through XRandR 1.2. A server without it has no CRTCs here.
class XrandrGamma : public CrtcGamma {
public:
    XrandrGamma(Display* display, Window root);
    ~XrandrGamma() override;
    XrandrGamma(const XrandrGamma&) = delete;
    XrandrGamma& operator=(const XrandrGamma&) = delete;

    int crtcCount() override;
    GammaRamp read(int crtc) override;
    bool write(int crtc, const GammaRamp& ramp) override;

private:
    Display* display_;
    XRRScreenResources* resources_ = nullptr;
};
