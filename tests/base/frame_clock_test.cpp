#include "base/frame_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

TEST(FrameClock, ElapsedGrowsFromTheSameOriginUntilRestarted) {
    readCounterFrequency();
    FrameClock clock;
    clock.start();
    sleepMs(5);
    double first = clock.elapsed();
    sleepMs(5);
    double second = clock.elapsed();
    EXPECT_GE(first, 0.005);
    EXPECT_GE(second, first + 0.005); // reading did not restart it
    EXPECT_EQ(clock.lastElapsed(), second);

    clock.start();
    EXPECT_LT(clock.elapsed(), second);
}

TEST(FrameClock, FrameStepsAddUpToTheTimeBetweenRestarts) {
    readCounterFrequency();
    FrameClock frame, whole;
    frame.start();
    whole.start();
    double steps = 0;
    for (int i = 0; i < 3; ++i) {
        sleepMs(2);
        steps += frame.elapsed();
        frame.start();
    }
    // Each step runs from one restart to the next, so together they cover all but the few instructions
    // between each elapsed() and start().
    double total =
        (static_cast<double>(frame.startCount()) - static_cast<double>(whole.startCount())) * secondsPerTick;
    EXPECT_GE(steps, 0.006);
    EXPECT_LE(steps, total);
    EXPECT_NEAR(steps, total, 0.05);
}

} // namespace
