#include "overlay/frame_counter.h"

bool FrameCounter::rollOver(double windowSeconds) {
    if (windowSeconds <= 1.0)
        return false;
    value_ = framesInWindow_;
    framesInWindow_ = 0;
    return true;
}
