#pragma once

#include <windows.h>

// The show's WGL context on the main window's device context.

// Sets a double-buffered RGBA format with 32 colour, 24 depth and 8 stencil bits, or the display's first
// format when none matches. With `multisample` (the Multisample setting) a hardware-accelerated format with
// four samples a pixel comes first, when the display has one. False when no format could be set.
bool choosePixelFormat(HDC dc, bool multisample);

// Sets the pixel format, makes a context and makes it current. Null when the display offers no OpenGL.
HGLRC createGlContext(HDC dc, bool multisample);

// Leaves the context and deletes it.
void deleteGlContext(HGLRC context);
