#include "app/linux/x_errors.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <unistd.h>

namespace {

int lastError = 0;
std::function<void()> connectionLost;

int recordError(Display*, XErrorEvent* event) {
    lastError = event->error_code;
    return 0;
}

int endOnLostConnection(Display*) {
    std::fputs("heliox: the connection to the X server was lost\n", stderr);
    if (connectionLost)
        connectionLost();
    _exit(1);
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
