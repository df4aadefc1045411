#pragma once

#include <cstdint>

// The operating system's high-resolution monotonic counter. Each shell provides both functions.
std::int64_t readPerformanceCounter();
std::int64_t readPerformanceFrequency(); // counts per second
