#include "base/load_stop.h"

#include <chrono>

namespace {

// A shell's check reads its event queue, which costs a system call; decoders ask far more often than that is
// worth. Asking every 20 ms keeps the answer well inside the half second a user waits.
constexpr auto checkInterval = std::chrono::milliseconds(20);

struct StopState {
    LoadStopCheck check;
    std::chrono::steady_clock::time_point lastChecked;
    bool stopped = false;
};

StopState& state() {
    static StopState stopState;
    return stopState;
}

} // namespace

void setLoadStopCheck(LoadStopCheck check) {
    state() = StopState{std::move(check), {}, false};
}

bool loadStopRequested() {
    StopState& s = state();
    if (s.stopped || !s.check)
        return s.stopped;
    const auto now = std::chrono::steady_clock::now();
    if (now - s.lastChecked < checkInterval)
        return false;
    s.lastChecked = now;
    s.stopped = s.check();
    return s.stopped;
}
