#pragma once

#include <cstdint>
#include <vector>

// One CRTC's gamma ramp: the red, green and blue tables, each of the CRTC's own size (often 256 or 1024).
struct GammaRamp {
    std::vector<std::uint16_t> red, green, blue;
    bool operator==(const GammaRamp&) const = default;
    std::size_t size() const { return red.size(); }
};

// The display's CRTCs as far as their gamma goes. XRandR in the shell; a fake in the tests.
class CrtcGamma {
public:
    virtual ~CrtcGamma() = default;
    virtual int crtcCount() = 0;
    // The CRTC's current ramp; empty when it has none or it cannot be read.
    virtual GammaRamp read(int crtc) = 0;
    virtual bool write(int crtc, const GammaRamp& ramp) = 0;
};

// The ramp that applies one exponent to every channel, at `size` entries: entry k is (k / size)^exponent of
// the full 16-bit range. At 256 entries it is exactly the ramp the settings have always asked for.
GammaRamp exponentRamp(float exponent, std::size_t size);
