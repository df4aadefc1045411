#include "app/win32/monitor_table.h"

namespace {

// The handle the stand-in gives the primary monitor; any nonzero value marks a record as active.
const HMONITOR primaryMonitorStandIn = reinterpret_cast<HMONITOR>(static_cast<UINT_PTR>(0x42));

// GetProcAddress gives every function one type; void (*)() is the type that may be cast to any other.
template <typename Function> Function lookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

BOOL WINAPI noDisplayDevices(LPCSTR, DWORD, PDISPLAY_DEVICEA, DWORD) {
    return FALSE;
}

HMONITOR WINAPI primaryMonitorFromRect(LPCRECT rect, DWORD flags) {
    if (flags != MONITOR_DEFAULTTONULL)
        return primaryMonitorStandIn;
    const bool overlapsPrimary = rect->right > 0 && rect->bottom > 0 &&
                                 rect->left < GetSystemMetrics(SM_CXSCREEN) &&
                                 rect->top < GetSystemMetrics(SM_CYSCREEN);
    return overlapsPrimary ? primaryMonitorStandIn : nullptr;
}

// A table without an active record would leave the saver nothing to draw on, so that the screen saver would
// silently not run (as on a system without the multiple-monitor functions, whose stand-in lists no adapter).
// The primary screen is always there to cover instead.
void coverPrimaryScreenIfNothingElse(const MonitorApi& api, MonitorTable& table) {
    for (unsigned i = 0; i < table.count; ++i)
        if (table.records[i].monitor)
            return;
    MonitorRecord& record = table.records[table.count < maxMonitors ? table.count++ : maxMonitors - 1];
    record = MonitorRecord{};
    record.desktopRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    record.monitor = api.monitorFromRect(&record.desktopRect, MONITOR_DEFAULTTOPRIMARY);
}

} // namespace

MonitorApi lookUpMonitorApi() {
    MonitorApi api{noDisplayDevices, EnumDisplaySettingsA, primaryMonitorFromRect};
    HMODULE user32 = GetModuleHandleA("USER32");
    if (!user32)
        return api;
    const char* const required[] = {"GetSystemMetrics",   "MonitorFromWindow",   "MonitorFromRect",
                                    "MonitorFromPoint",   "EnumDisplayMonitors", "GetMonitorInfoA",
                                    "EnumDisplayDevicesA"};
    for (const char* name : required)
        if (!GetProcAddress(user32, name))
            return api;
    if (GetSystemMetrics(SM_CXVIRTUALSCREEN) < GetSystemMetrics(SM_CXSCREEN) ||
        GetSystemMetrics(SM_CYVIRTUALSCREEN) < GetSystemMetrics(SM_CYSCREEN))
        return api;
    api.enumDisplayDevices = lookUp<decltype(api.enumDisplayDevices)>(user32, "EnumDisplayDevicesA");
    api.monitorFromRect = lookUp<decltype(api.monitorFromRect)>(user32, "MonitorFromRect");
    return api;
}

MonitorTable enumerateMonitors(const MonitorApi& api) {
    MonitorTable table;
    DISPLAY_DEVICEA adapter{};
    adapter.cb = sizeof adapter;
    for (DWORD number = 0; table.count < maxMonitors && api.enumDisplayDevices(nullptr, number, &adapter, 0);
         ++number, adapter.cb = sizeof adapter) {
        if (adapter.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER)
            continue;
        MonitorRecord& record = table.records[table.count++];
        record = MonitorRecord{};
        if (!(adapter.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP))
            continue;
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        if (!api.enumDisplaySettings(adapter.DeviceName, ENUM_CURRENT_SETTINGS, &mode))
            continue; // no mode to place it by: the adapter stays uncovered rather than at a made-up place
        const bool primary = adapter.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE;
        record.desktopRect.left = primary ? 0 : mode.dmPosition.x;
        record.desktopRect.top = primary ? 0 : mode.dmPosition.y;
        record.desktopRect.right = record.desktopRect.left + static_cast<LONG>(mode.dmPelsWidth);
        record.desktopRect.bottom = record.desktopRect.top + static_cast<LONG>(mode.dmPelsHeight);
        record.monitor = api.monitorFromRect(&record.desktopRect, MONITOR_DEFAULTTONULL);
    }
    coverPrimaryScreenIfNothingElse(api, table);
    return table;
}
