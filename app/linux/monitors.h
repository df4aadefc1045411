#pragma once

#include <X11/Xlib.h>

#include <vector>

// One monitor's area on the X screen, in root-window pixels.
struct MonitorArea {
    int x = 0, y = 0;
    int width = 0, height = 0;
};

// The screen's monitors as XRandR lists them, the primary one first: the show goes on the first, black
// windows cover the others. Without XRandR monitors, the whole screen is one monitor.
std::vector<MonitorArea> listMonitors(Display* display, int screen);
