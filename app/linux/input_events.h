#pragma once

#include "app/exit_rules.h"

#include <X11/Xlib.h>

// Which touches end a run, as the saver has always told them apart: any key press but the system keys (Alt
// alone, Alt combinations, F10), and the left or right button, never the middle one or the wheel.
bool keyEndsRun(KeySym key, unsigned modifierState);
bool buttonEndsRun(unsigned button);

// Feeds one input event on the show's window of `width` × `height` pixels into the exit rules: presses that
// end the run, and pointer moves as offsets from the window's centre (integer halves, as the pointer is put
// back there). Events on any other window (the black covers) are ignored.
void feedExitRules(const XEvent& event, Window show, int width, int height, ExitRules& rules);
