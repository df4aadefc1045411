#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

// The two display calls a saver run changes the machine with. Tests supply their own.
struct DisplayApi {
    LONG(WINAPI* changeDisplaySettings)(DEVMODEA*, DWORD);
    BOOL(WINAPI* setDeviceGammaRamp)(HDC, LPVOID);
};
DisplayApi systemDisplayApi();

// What a saver run changed on the display, and the way back. The display must come back however the run
// ends: normally, when its window cannot be made, when the session ends, or when the console it was started
// from is closed or interrupted; the last comes on another thread, so each change is undone exactly once
// whoever gets there first.
class DisplayState {
public:
    explicit DisplayState(DisplayApi api = systemDisplayApi()) : api_(api) {}

    // Switches to width × height × depth for as long as the process runs (a temporary, full-screen mode).
    // Returns whether the display took it; when it did not, it stays in the desktop's mode.
    bool setDisplayMode(std::uint32_t width, std::uint32_t height, std::uint32_t depth);

    // Sets the gamma ramp of `dc`'s display with one exponent per channel; 1 is the identity. Returns
    // whether the display took it.
    bool applyGammaRamp(HDC dc, float red, float green, float blue);

    // Put back the identity ramp, and the mode the registry holds. Each does nothing if there is nothing to
    // undo, so they are safe to call on every way out.
    void restoreGamma();
    void restoreMode();
    void restoreAll() {
        restoreGamma();
        restoreMode();
    }

private:
    DisplayApi api_;
    std::atomic<bool> modeChanged_{false};
    std::atomic<HDC> gammaChangedOn_{nullptr};
};

// Makes `state` restored when the console the process runs in is closed or interrupted, or the user logs
// off; nullptr stops that. One state at a time: there is one saver run per process.
void restoreOnConsoleEvents(DisplayState* state);

// The console control handler that does it (on a thread of the system's). It returns FALSE, so the system's
// own handler then ends the process as usual.
BOOL WINAPI restoreOnConsoleEvent(DWORD event);
