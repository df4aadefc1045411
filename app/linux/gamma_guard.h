#pragma once

#include "app/linux/crtc_gamma.h"

#include <vector>

// Changes the display's gamma for a stand-alone full-screen run and puts back exactly what was there before,
// on every way out: the guard's end, a stop signal (the run then ends normally) and a lost X connection
// (restoreThrough on a fresh connection).
class GammaGuard {
public:
    // Saves the ramp of every CRTC.
    explicit GammaGuard(CrtcGamma& crtcs);
    ~GammaGuard() { restore(); }
    GammaGuard(const GammaGuard&) = delete;
    GammaGuard& operator=(const GammaGuard&) = delete;

    // Sets every CRTC whose ramp was saved to the ramp of `exponent`.
    void apply(float exponent);

    // Writes the saved ramps back, once, if apply changed them.
    void restore() { restoreThrough(crtcs_); }
    void restoreThrough(CrtcGamma& crtcs);

    // The ramps as they were, by CRTC index; empty for a CRTC without a ramp.
    const std::vector<GammaRamp>& saved() const { return saved_; }

private:
    CrtcGamma& crtcs_;
    std::vector<GammaRamp> saved_; // by CRTC index; empty for a CRTC without a ramp
    bool changed_ = false;
};
