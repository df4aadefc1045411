#include "app/linux/x_errors.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace {

int lastError = 0;
std::function<void()> connectionLost;
volatile std::sig_atomic_t inFatalSignal = 0;

int recordError(Display*, XErrorEvent* event) {
    lastError = event->error_code;
    return 0;
}

int endOnLostConnection(Display*) {
    if (connectionLost && !inFatalSignal)
        connectionLost();
    endAsConnectionLost();
}

} // namespace

void handleXErrors(std::function<void()> lastWords) {
    connectionLost = std::move(lastWords);
    XSetErrorHandler(recordError);
    XSetIOErrorHandler(endOnLostConnection);
}

int takeXError(Display* display) {
    XSync(display, False);
    const int error = lastError;
    lastError = 0;
    return error;
}

bool xServerGone(Display* display) {
    char byte = 0;
    const ssize_t n = recv(ConnectionNumber(display), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

void skipLastWordsOnLostConnection() {
    inFatalSignal = 1;
}

void endAsConnectionLost() {
    static const char message[] = "heliox: the connection to the X server was lost\n";
    // write(), not stdio: this may run in a signal handler, and nothing is lost if it cannot be said.
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    _exit(1);
}
