#include "overlay/frame_counter.h"

#include <gtest/gtest.h>

namespace {

// Frames every `step` seconds, as the saver run drives the counter: the window's time, summed from the
// steps, handed over before each overlay and restarted when the window closes. Returns the value shown after
// `frames` frames.
int runFrames(FrameCounter& counter, double& window, double step, int frames) {
    for (int i = 0; i < frames; ++i) {
        window += step;
        if (counter.frameEnded(window))
            window = 0;
    }
    return counter.value();
}

TEST(FrameCounter, ShowsTheFramesASecondInEveryWindow) {
    FrameCounter counter;
    double window = 0;
    EXPECT_EQ(runFrames(counter, window, 0.25, 4), 0) << "a window of exactly one second is still running";
    EXPECT_EQ(runFrames(counter, window, 0.25, 1), 4) << "the first window, opened by the run's start";
    EXPECT_EQ(runFrames(counter, window, 0.25, 4), 4) << "shown until the next window closes";
    EXPECT_EQ(runFrames(counter, window, 0.25, 1), 4) << "a window opened by a frame";

    // A window closes up to one frame past its second: 11 frames end in 1.089 s at 10.1 a second, and ten
    // steps of 0.1 add up to just under one second, so 11 frames end that window too.
    for (const auto& [step, rate] : {std::pair{1 / 10.1, 10}, {0.1, 10}, {1 / 30.0, 30}, {1 / 59.8, 60}}) {
        SCOPED_TRACE(rate);
        FrameCounter atRate;
        double at = 0;
        EXPECT_EQ(runFrames(atRate, at, step, 400), rate);
    }
}

} // namespace
