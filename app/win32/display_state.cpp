#include "app/win32/display_state.h"

#include "app/gl_setup.h"

namespace {

std::atomic<DisplayState*> stateToRestoreOnConsoleEvents{nullptr};

} // namespace

BOOL WINAPI restoreOnConsoleEvent(DWORD) {
    if (DisplayState* state = stateToRestoreOnConsoleEvents.load())
        state->restoreAll();
    return FALSE;
}

DisplayApi systemDisplayApi() {
    return {ChangeDisplaySettingsA, SetDeviceGammaRamp};
}

bool DisplayState::setDisplayMode(std::uint32_t width, std::uint32_t height, std::uint32_t depth) {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = depth;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    // Whether or not the display took the mode, going back to the registry's mode afterwards is harmless.
    modeChanged_ = true;
    return api_.changeDisplaySettings(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

bool DisplayState::applyGammaRamp(HDC dc, float red, float green, float blue) {
    std::array<std::uint16_t, 768> ramp = gammaRamp(red, green, blue);
    if (!api_.setDeviceGammaRamp(dc, ramp.data()))
        return false;
    gammaChangedOn_ = dc;
    return true;
}

void DisplayState::restoreGamma() {
    if (HDC dc = gammaChangedOn_.exchange(nullptr)) {
        std::array<std::uint16_t, 768> identity = gammaRamp(1.0f, 1.0f, 1.0f);
        api_.setDeviceGammaRamp(dc, identity.data());
    }
}

void DisplayState::restoreMode() {
    if (modeChanged_.exchange(false))
        api_.changeDisplaySettings(nullptr, 0);
}

void restoreOnConsoleEvents(DisplayState* state) {
    if (state && !stateToRestoreOnConsoleEvents.exchange(state))
        SetConsoleCtrlHandler(restoreOnConsoleEvent, TRUE);
    else if (!state && stateToRestoreOnConsoleEvents.exchange(nullptr))
        SetConsoleCtrlHandler(restoreOnConsoleEvent, FALSE);
}
