#include "app/linux/stop_signals.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t caughtSignal = 0;

void recordSignal(int signal) {
    caughtSignal = signal;
}

} // namespace

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = recordSignal;
    sigemptyset(&action.sa_mask);
    // Restart interrupted calls: the loop never blocks for long, and Xlib does not expect EINTR.
    action.sa_flags = SA_RESTART;
    // Every signal sent to end a process whose default ends it without a word: ended that way, the run would
    // leave the display's gamma changed.
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM, SIGUSR1, SIGUSR2, SIGPIPE})
        sigaction(signal, &action, nullptr);
}

int stopSignal() {
    return caughtSignal;
}
