#pragma once

#include <functional>

// Xlib's default handlers end the process on the first error, without a word a user could act on and
// without putting the display's gamma back. These record protocol errors for the caller to check (a window
// id that names no window, a grab that fails) and, when the connection to the server is lost, run
// `lastWords` and end the process with exit code 1.
void handleXErrors(std::function<void()> lastWords);

// The code of the last protocol error since the previous call (0 when none), after waiting for the server to
// answer every request sent so far.
int takeXError(struct _XDisplay* display);

// Whether the X server has closed the connection: it went away, or threw the client out. It only peeks at the
// connection's socket, so a signal handler may ask.
bool xServerGone(struct _XDisplay* display);

// From now on a lost connection ends the process at once, without `lastWords` (which may allocate and open a
// new connection): for a fatal signal's handler about to talk to the server. Safe in a signal handler.
void skipLastWordsOnLostConnection();

// Says that the connection to the X server was lost and ends the process with exit code 1, as a lost
// connection always does; safe in a signal handler.
[[noreturn]] void endAsConnectionLost();
