#pragma once

#include "app/win32/win32_application.h"

// The still picture inside the host's preview area (the window number after "/p"): a child window showing
// bitmap 112 at its natural size in the top-left corner, on black, until the host destroys it. Returns 1
// after a normal end; 0 at once, silently, when there is no live window to draw into (no number, 0, or a
// window the host has already destroyed).
int runPreview(Win32Application& application);

LRESULT CALLBACK previewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
