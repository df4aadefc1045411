#pragma once

#include "app/command_line.h"

#include <cstdint>
#include <optional>
#include <string>

// Where the show is drawn on X.
enum class ShowPlace {
    fullScreen, // -s, -t or no switch: the stand-alone saver
    window,     // --window: an ordinary window on the desktop
    host,       // --window-id, $XSCREENSAVER_WINDOW or --root: a window XScreenSaver owns
};

struct ShowTarget {
    ShowPlace place = ShowPlace::fullScreen;
    std::uint64_t hostWindow = 0; // for Host: the window to draw into; 0 means the root window
};

// Chooses from the options and the value of $XSCREENSAVER_WINDOW (null when unset). --window-id names the
// window outright; XScreenSaver starts its hacks with --root and the real window in the variable, so the
// variable wins over --root, and is taken too when the command line chose no place; an explicit --window
// keeps the window. Null, with `error` saying why, when the variable holds no window id.
std::optional<ShowTarget> chooseShowTarget(const RunOptions& options, const char* xscreensaverWindow,
                                           std::string& error);
