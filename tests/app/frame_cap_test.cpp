#include "app/frame_cap.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The cap spreads frames over their shares of the second, counts the time a frame took against its share, and
// never waits when lifted. Bounds are wide: only the waiting is checked here, not the machine's speed.
TEST(FrameCap, SleepsOutEachFramesShareAndNoMore) {
    FrameCap tenASecond(10);
    const Clock::time_point start = Clock::now();
    for (int frame = 0; frame < 5; ++frame)
        tenASecond.waitForNextFrame();
    EXPECT_GE(Clock::now() - start, 450ms) << "five frames at ten a second take half a second";

    // A frame that took longer than its share is followed by no wait at all.
    std::this_thread::sleep_for(250ms);
    const Clock::time_point late = Clock::now();
    tenASecond.waitForNextFrame();
    EXPECT_LT(Clock::now() - late, 60ms);

    FrameCap lifted(0);
    const Clock::time_point free = Clock::now();
    for (int frame = 0; frame < 10000; ++frame)
        lifted.waitForNextFrame();
    EXPECT_LT(Clock::now() - free, 500ms);
}

} // namespace
