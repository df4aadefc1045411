#include "tools/sdd/interrupt_cleanup.h"

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace interrupt_cleanup {

namespace {

// Fixed slots, so that the handler needs neither locks nor allocation: a slot's path is written while it
// is free and only then marked in use, and the handler reads only slots in use.
struct Slot {
    std::atomic<bool> used{false};
    char path[PATH_MAX] = {};
};
std::array<Slot, 8> slots;
static_assert(std::atomic<bool>::is_always_lock_free, "the handler may only touch lock-free atomics");

constexpr int handledSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeAndDie(int signal) {
    for (Slot& slot : slots)
        if (slot.used.load(std::memory_order_acquire))
            ::unlink(slot.path);
    // Dies of the signal itself, so the parent sees what stopped it.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void install() {
    struct sigaction action {};
    action.sa_handler = removeAndDie;
    sigemptyset(&action.sa_mask);
    for (int signal : handledSignals)
        sigaddset(&action.sa_mask, signal);
    for (int signal : handledSignals) {
        // A signal the caller chose to ignore (nohup) stays ignored.
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
}

bool remember(const std::string& path) {
    if (path.size() >= PATH_MAX)
        return false;
    for (Slot& slot : slots)
        if (!slot.used.load(std::memory_order_acquire)) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.used.store(true, std::memory_order_release);
            return true;
        }
    return false;
}

void forget(const std::string& path) {
    for (Slot& slot : slots)
        if (slot.used.load(std::memory_order_acquire) && path == slot.path)
            slot.used.store(false, std::memory_order_release);
}

} // namespace interrupt_cleanup
