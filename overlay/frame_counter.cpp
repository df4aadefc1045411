#include "overlay/frame_counter.h"

#include <cmath>

bool FrameCounter::frameEnded(double windowSeconds) {
    ++framesInWindow_;
    if (windowSeconds <= 1.0)
        return false;
    value_ = static_cast<int>(std::lround(framesInWindow_ / windowSeconds));
    framesInWindow_ = 0;
    return true;
}
