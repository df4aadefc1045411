#include "app/frame_cap.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The cap spreads frames over their shares of the second, counts the time a frame took against its share, and
// never waits when lifted. Other work on the machine can only make frames later, never earlier: so every
// check here is a least time or a count of the waits, none an upper bound on time. Under Wine a sleep may end
// a fraction of a millisecond before its time, so the least times allow a millisecond a frame; a frame that
// did not wait at all would fall short by its whole share, 100 ms.
TEST(FrameCap, SleepsOutEachFramesShareAndNoMore) {
    const Clock::time_point start = Clock::now();
    FrameCap tenASecond(10);
    for (int frame = 0; frame < 5; ++frame)
        tenASecond.waitForNextFrame();
    EXPECT_GE(Clock::now() - start, 500ms - 5ms) << "five frames at ten a second take half a second";

    // A frame that took longer than its share is followed by no wait at all; the frames after it get their
    // whole shares again, rather than hurrying to make up the late one.
    std::this_thread::sleep_for(250ms);
    const Clock::time_point late = Clock::now();
    EXPECT_FALSE(tenASecond.waitForNextFrame()) << "a late frame waited";
    for (int frame = 0; frame < 3; ++frame)
        tenASecond.waitForNextFrame();
    EXPECT_GE(Clock::now() - late, 300ms - 3ms) << "the frames after a late one were hurried";

    FrameCap lifted(0);
    for (int frame = 0; frame < 10000; ++frame)
        ASSERT_FALSE(lifted.waitForNextFrame()) << "a lifted cap waited at frame " << frame;
}

} // namespace
