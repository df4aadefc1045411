#include "base/performance_counter.h"

#include <windows.h>

// QueryPerformanceCounter is monotonic and, since Windows XP, never fails; its frequency is fixed at boot.
std::int64_t readPerformanceCounter() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

std::int64_t readPerformanceFrequency() {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}
