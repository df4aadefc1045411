#pragma once

#include "app/command_line.h"

#include <X11/Xlib.h>

// The show on X: full screen, in a window or in XScreenSaver's window, as the command line and
// $XSCREENSAVER_WINDOW choose. Loads from the show's archive with the loading screen, then runs the frame
// loop until a touch ends it (full screen), a key or closing the window (--window), the window's end or
// SIGTERM (in a host's window), or a stop signal. Puts the gamma ramp back on every way out.
// Returns the exit code: 0 once the show was shown, 1 when nothing could be shown.
int runSaver(Display* display, const RunOptions& options);
