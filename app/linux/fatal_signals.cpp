#include "app/linux/fatal_signals.h"

#include <csignal>
#include <iterator>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

constexpr int fatalSignals[] = {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL};
struct sigaction previous[std::size(fatalSignals)];
void (*lastWordsOfRun)() = nullptr;
bool installed = false;

// A fault inside the last words would come back here: only the first time says them.
void speakLastWordsOnce() {
    if (void (*lastWords)() = lastWordsOfRun) {
        lastWordsOfRun = nullptr;
        lastWords();
    }
}

void speakLastWords(int signal, siginfo_t* info, void*) {
    speakLastWordsOnce();
    // The previous handler takes the signal as if this one had never been there. A fault the processor
    // raised comes back by itself when its instruction runs again, with all a sanitizer's report needs to
    // know about it; a signal that was sent (abort, kill) is sent again, and held until this handler returns.
    releaseFatalSignals();
    if (info->si_code <= 0)
        std::raise(signal);
}

} // namespace

void catchFatalSignals(void (*lastWords)()) {
    releaseFatalSignals();
    lastWordsOfRun = lastWords;
    struct sigaction action {};
    action.sa_sigaction = speakLastWords;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(fatalSignals); ++i)
        sigaction(fatalSignals[i], &action, &previous[i]);
#if defined(__SANITIZE_ADDRESS__)
    // A sanitizer ends the process itself on most of what it finds, without a signal.
    __sanitizer_set_death_callback(speakLastWordsOnce);
#endif
    installed = true;
}

void releaseFatalSignals() {
    if (!installed)
        return;
    installed = false;
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(nullptr);
#endif
    for (std::size_t i = 0; i < std::size(fatalSignals); ++i)
        sigaction(fatalSignals[i], &previous[i], nullptr);
}
