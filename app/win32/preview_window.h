#pragma once

#include "app/win32/win32_application.h"

// The still picture inside the host's preview area (the window number after "/p"): a child window showing
// bitmap 112 at its natural size in the top-left corner, on black, until the host destroys it. Returns 1
// after a normal end, 0 when the window cannot be made (as without a window number), after telling the user.
int runPreview(Win32Application& application);

LRESULT CALLBACK previewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
