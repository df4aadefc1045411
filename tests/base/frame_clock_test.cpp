#include "base/frame_clock.h"
#include "base/performance_counter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// Other work on the machine can stretch any wait here without limit, so no check bounds a time from above by
// a fixed amount: each is bounded by counter readings taken around the calls it is about.
namespace {

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

double secondsBetween(std::int64_t from, std::int64_t to) {
    return static_cast<double>(to - from) * secondsPerTick;
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

    const std::int64_t beforeRestart = readPerformanceCounter();
    clock.start();
    const double sinceRestart = clock.elapsed();
    EXPECT_LE(sinceRestart, secondsBetween(beforeRestart, readPerformanceCounter()))
        << "the restart kept the old origin";
}

TEST(FrameClock, FrameStepsAddUpToTheTimeBetweenRestarts) {
    readCounterFrequency();
    FrameClock frame, whole;
    const std::int64_t beforeStarts = readPerformanceCounter();
    whole.start();
    frame.start();
    double steps = 0, uncovered = secondsBetween(beforeStarts, readPerformanceCounter());
    for (int i = 0; i < 3; ++i) {
        sleepMs(2);
        const std::int64_t beforeStep = readPerformanceCounter();
        steps += frame.elapsed();
        frame.start();
        uncovered += secondsBetween(beforeStep, readPerformanceCounter());
    }
    // Each step runs from one restart to the next, so together they cover all but the moments between the two
    // clocks' starts and between each elapsed() and start().
    const double total = secondsBetween(whole.startCount(), frame.startCount());
    EXPECT_GE(steps, 0.006);
    EXPECT_LE(steps, total);
    EXPECT_GE(steps, total - uncovered);
}

} // namespace
