#pragma once

#include "app/linux/crtc_gamma.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

// The gamma ramps a run saved, ready to be written back from a fatal signal's handler, where the run's own
// connection may be in the middle of a request and nothing may be allocated: a connection of its own is
// opened beforehand and the ramps are already in the form the request sends.
class GammaRescue {
public:
    // `saved` by CRTC index, as GammaGuard keeps them (empty for a CRTC without a ramp). Null when the
    // display cannot be reached a second time.
    static std::unique_ptr<GammaRescue> prepare(const std::string& displayName, int screen,
                                                const std::vector<GammaRamp>& saved);
    ~GammaRescue();
    GammaRescue(const GammaRescue&) = delete;
    GammaRescue& operator=(const GammaRescue&) = delete;

    // Sends the saved ramps and flushes them to the server without waiting for an answer.
    void writeBack() const;

private:
    explicit GammaRescue(Display* display) : display_(display) {}
    Display* display_;
    std::vector<std::pair<RRCrtc, XRRCrtcGamma*>> ramps_;
};
