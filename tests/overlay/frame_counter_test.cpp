#include "overlay/frame_counter.h"

#include <gtest/gtest.h>

namespace {

// Frames every `step` seconds, as the saver run drives the counter: the roll-over test before each
// overlay, with the window's time, and the count after it. Returns the value after `frames` frames.
int runFrames(FrameCounter& counter, double& window, double step, int frames) {
    for (int i = 0; i < frames; ++i) {
        window += step;
        if (counter.rollOver(window))
            window = 0;
        counter.countFrame();
    }
    return counter.value();
}

TEST(FrameCounter, ShowsTheFramesOfTheLastWindowOfJustOverASecond) {
    FrameCounter counter;
    double window = 0;
    EXPECT_EQ(runFrames(counter, window, 0.25, 4), 0) << "a window of exactly one second is still running";
    EXPECT_EQ(runFrames(counter, window, 0.25, 1), 4) << "the frames counted before the window passed";
    // The frame that rolled the window over opens the next one: five frames of a quarter second each.
    EXPECT_EQ(runFrames(counter, window, 0.25, 4), 4);
    EXPECT_EQ(runFrames(counter, window, 0.25, 1), 5);
}

} // namespace
