#include "app/frame_cap.h"

#include <thread>

FrameCap::FrameCap(unsigned framesPerSecond)
    : share_(framesPerSecond == 0
                 ? Clock::duration::zero()
                 : std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / framesPerSecond) {}

bool FrameCap::waitForNextFrame() {
    if (share_ == Clock::duration::zero())
        return false;
    const Clock::time_point due = frameStart_ + share_;
    const Clock::time_point now = Clock::now();
    if (now < due) {
        std::this_thread::sleep_until(due);
        frameStart_ = due;
        return true;
    }
    // Behind: start counting afresh from now rather than hurrying to catch up with frames never drawn.
    frameStart_ = now;
    return false;
}
