#pragma once

#include "app/exit_rules.h"
#include "app/win32/display_state.h"
#include "overlay/loading_screen.h"

#include <windows.h>

// Sent by the loaders, through the saver run's progress hook, once per loaded item: the main window redraws
// the loading screen at once, inside the loader's call, since no message loop runs while loading.
inline constexpr UINT WM_LOAD_PROGRESS = WM_USER + 2;

inline constexpr const char* mainWindowClass = "MyWindow";     // the show, with the GL context
inline constexpr const char* coverWindowClass = "FakeMonitor"; // black, over every other monitor

// What the main window's procedure works on. One saver run per process, so one instance.
struct SaverWindowState {
    HDC deviceContext = nullptr; // the main window's own (the class has CS_OWNDC)
    HGLRC glContext = nullptr;   // null when the display offers no OpenGL
    ExitRules* exitRules = nullptr;
    const LoadingScreen* loadingScreen = nullptr; // the saver run's, while it runs
    DisplayState* display = nullptr;              // put back when the session ends under the run
};
extern SaverWindowState saverWindow;

bool registerSaverWindowClasses(HINSTANCE instance);
void unregisterSaverWindowClasses(HINSTANCE instance);

// Keys and left or right clicks end the run; mouse moves are measured from the centre of the window; close
// and destroy post WM_QUIT; system commands are swallowed so that neither another screen saver nor monitor
// power-down starts while the show runs. WM_CREATE makes the GL context.
LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Puts the cursor at the centre of the window's client area.
void centreCursor(HWND window);
