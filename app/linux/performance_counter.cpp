#include "base/performance_counter.h"

#include <time.h>

// CLOCK_MONOTONIC never steps back when the wall clock is set, so frame times stay positive.
std::int64_t readPerformanceCounter() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::int64_t readPerformanceFrequency() {
    return 1'000'000'000;
}
