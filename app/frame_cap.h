#pragma once

#include <chrono>

// Keeps a loop to a number of frames a second by sleeping out what is left of each frame's share once it is
// drawn: the time the frame took counts, so a slow frame is followed by no wait at all, and a machine that
// cannot keep up is never slowed further. A cap of 0 never waits.
class FrameCap {
public:
    explicit FrameCap(unsigned framesPerSecond);

    // Call once a frame, after it is shown: sleeps until the frame's share of the second is over. Says
    // whether it slept, so a caller can tell a frame that used its whole share (or an uncapped loop) from one
    // that rested.
    bool waitForNextFrame();

private:
    using Clock = std::chrono::steady_clock;
    Clock::duration share_{};
    Clock::time_point frameStart_ = Clock::now();
};
