#pragma once

#include <X11/Xlib.h>

// `heliox -p XID`: a child window of `parent`, filled by the preview picture, as large as fits with its shape
// kept, on black, following the parent's size, until the parent (and with it the child) is destroyed. Nothing
// is animated and no data is read. Returns the exit code: 0 after the parent went, 1 when `parent` names no
// window.
int runPreviewWindow(Display* display, Window parent);
