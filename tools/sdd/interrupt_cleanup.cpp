#include "tools/sdd/interrupt_cleanup.h"

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <random>

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

int createTemporary(std::string& name) {
    static std::mt19937_64 random{std::random_device{}()};
    constexpr std::string_view letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::size_t at = name.rfind("XXXXXX");
    if (at == std::string::npos || at + 6 != name.size()) {
        errno = EINVAL;
        return -1;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = at; i < name.size(); ++i)
            name[i] = letters[random() % letters.size()];
        const bool remembered = remember(name);
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            return fd;
        const int error = errno;
        if (remembered)
            forget(name);
        if (error != EEXIST) {
            errno = error;
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
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

namespace {

std::string hiddenBeside(const std::filesystem::path& target) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    return (folder / ("." + target.filename().string() + ".sdd-XXXXXX")).string();
}

} // namespace

const TemporaryFiles temporaryFiles{hiddenBeside, createTemporary, forget};

} // namespace interrupt_cleanup
