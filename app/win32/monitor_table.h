#pragma once

#include <windows.h>

#include <array>

// One display adapter that the saver covers with a window.
struct MonitorRecord {
    HMONITOR monitor = nullptr; // nonzero marks an adapter on the desktop: the saver covers it
    RECT desktopRect{};         // the adapter's area in desktop coordinates
    HWND window = nullptr;      // the saver's window on it, once the run has made one
};

inline constexpr unsigned maxMonitors = 9;

struct MonitorTable {
    std::array<MonitorRecord, maxMonitors> records{};
    unsigned count = 0;
};

// The USER32 functions the table is made with. Machines without multiple-monitor support lack them, so they
// are looked up at run time; tests supply their own.
struct MonitorApi {
    BOOL(WINAPI* enumDisplayDevices)(LPCSTR, DWORD, PDISPLAY_DEVICEA, DWORD);
    BOOL(WINAPI* enumDisplaySettings)(LPCSTR, DWORD, DEVMODEA*);
    HMONITOR(WINAPI* monitorFromRect)(LPCRECT, DWORD);
};

// USER32's functions when all the multiple-monitor functions exist and the virtual screen covers the primary
// one; otherwise stand-ins: no display device at all, and the primary monitor for rectangles that overlap the
// primary screen.
MonitorApi lookUpMonitorApi();

// Lists the display adapters, skipping mirroring drivers, at most nine. Each adapter attached to the desktop
// gets its rectangle (the primary one at the origin) and the monitor covering it; others get no monitor. When
// no adapter is active, a record for the primary screen stands in.
MonitorTable enumerateMonitors(const MonitorApi& api);
