#include "base/frame_clock.h"

#include "base/performance_counter.h"

std::int64_t ticksPerSecond = 0;
double secondsPerTick = 0.0;

FrameClock frameClock;
FrameClock fpsClock;

void readCounterFrequency() {
    ticksPerSecond = readPerformanceFrequency();
    secondsPerTick = ticksPerSecond > 0 ? 1.0 / static_cast<double>(ticksPerSecond) : 0.0;
}

void FrameClock::start() {
    startCount_ = readPerformanceCounter();
}

double FrameClock::elapsed() {
    std::int64_t now = readPerformanceCounter();
    lastElapsed_ = (static_cast<double>(now) - static_cast<double>(startCount_)) * secondsPerTick;
    return lastElapsed_;
}
