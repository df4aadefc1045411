#pragma once

#include "app/command_line.h"
#include "app/win32/monitor_table.h"

#include <windows.h>

#include <string>

// The application object on Windows: what the command line asked for, and what every mode needs of the
// process: its module (window classes, dialogs, pictures), the show command it was started with (passed to
// every window it shows) and the display adapters it covers.
struct Win32Application {
    SaverApplication app;
    HINSTANCE instance = nullptr;
    int showCommand = SW_SHOWNORMAL;
    MonitorTable monitors;
    std::string installationFolder; // where data.sdd is read from; empty when the system could not say
};

// The window number from "/c N" or "/p N" as a handle; null when there was none.
inline HWND parentWindowOf(const Win32Application& application) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(application.app.parentWindow));
}
