#pragma once

#include <cstdint>

// A stopwatch over the performance counter. `elapsed` reads without restarting; `start` restarts.
class FrameClock {
public:
    virtual ~FrameClock() = default;

    void start();
    double elapsed(); // seconds since the last start; also kept in lastElapsed
    double lastElapsed() const { return lastElapsed_; }
    std::int64_t startCount() const { return startCount_; }

private:
    std::int64_t startCount_ = 0;
    double lastElapsed_ = 0.0;
};

// Reads the counter's frequency. Called once at the start of a run, before any `elapsed`. A counter that
// reports no frequency gives every clock zero seconds: the picture stands still rather than jumping.
void readCounterFrequency();

extern std::int64_t ticksPerSecond;
extern double secondsPerTick;

// The run's per-frame step, and the one-second window of the frame counter.
extern FrameClock frameClock;
extern FrameClock fpsClock;
