#include "app/win32/settings_dialog.h"
#include "app/settings_store.h"

#include "app/win32/dialog_script.h"
#include "app/win32/display_mode_list.h"
#include "app/win32/test_hooks.h"
#include "base/settings.h"
#include "heliox_version.h"
#include "resources/resource_ids.h"

#include <commctrl.h>

#include <cstdio>

namespace {

HINSTANCE programInstance = nullptr;

void setCheck(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void enable(HWND dialog, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialog, id), enabled);
}

void setPercentLabel(HWND dialog, int id, const char* format, unsigned percent) {
    char text[64];
    std::snprintf(text, sizeof text, format, percent);
    SetDlgItemTextA(dialog, id, text);
}

void setVolumeLabel(HWND dialog, unsigned volume) {
    setPercentLabel(dialog, IDC_VOLUME_LABEL, "&Volume (%u%%)", volume);
}

// The user sees Gamma + 50: 50% is the darkest, 150% the brightest.
void setBrightnessLabel(HWND dialog, unsigned gamma) {
    setPercentLabel(dialog, IDC_BRIGHTNESS_LABEL, "&Brightness (%u%%)", gamma + 50);
}

void selectMode(HWND dialog, const DisplayMode& mode) {
    const std::string text = formatDisplayMode(mode);
    SendDlgItemMessageA(dialog, IDC_VIDEO_MODE, CB_SELECTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Selects the desktop's current mode and greys the list out: with UseDesktop the show runs in it.
void selectDesktopMode(HWND dialog) {
    DEVMODEA desktop{};
    desktop.dmSize = sizeof desktop;
    if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &desktop))
        selectMode(dialog, {desktop.dmPelsWidth, desktop.dmPelsHeight, desktop.dmBitsPerPel});
    enable(dialog, IDC_VIDEO_MODE, false);
}

void fillModeList(HWND dialog) {
    DisplayModeFilter filter;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    for (DWORD number = 0; EnumDisplaySettingsA(nullptr, number, &mode); ++number) {
        const DisplayMode listed{mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel};
        if (filter.offer(listed)) {
            const std::string text = formatDisplayMode(listed);
            SendDlgItemMessageA(dialog, IDC_VIDEO_MODE, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
}

void setSlider(HWND dialog, int id, int lowest, unsigned position) {
    SendDlgItemMessageA(dialog, id, TBM_SETRANGE, TRUE, MAKELPARAM(lowest, 100));
    SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, static_cast<LPARAM>(position));
    SendDlgItemMessageA(dialog, id, TBM_SETPAGESIZE, 0, 10);
}

unsigned sliderPosition(HWND dialog, int id) {
    return static_cast<unsigned>(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0));
}

// The sliders are the settings: every way a slider moves (dragging, page and line steps from the keyboard,
// Home and End, the wheel, a click) lands here, and each reading shows at once in its label.
void takeSliders(HWND dialog) {
    settings.volume = sliderPosition(dialog, IDC_VOLUME);
    setVolumeLabel(dialog, settings.volume);
    settings.gamma = sliderPosition(dialog, IDC_GAMMA);
    setBrightnessLabel(dialog, settings.gamma);
    settings.speed = sliderPosition(dialog, IDC_SPEED);
}

void showMusicControls(HWND dialog) {
    enable(dialog, IDC_VOLUME, settings.enableMusic);
    enable(dialog, IDC_VOLUME_LABEL, settings.enableMusic);
}

void showGammaControls(HWND dialog) {
    enable(dialog, IDC_GAMMA, !settings.defGamma);
    enable(dialog, IDC_BRIGHTNESS_LABEL, !settings.defGamma);
}

void showClockControls(HWND dialog) {
    enable(dialog, IDC_12_HOURS, settings.showClock);
    enable(dialog, IDC_24_HOURS, settings.showClock);
}

// Shows every setting in its control: the mode, the check marks, the sliders and their labels, and which
// controls may be used.
void showSettings(HWND dialog) {
    if (settings.useDesktop)
        selectDesktopMode(dialog);
    else
        selectMode(dialog, {settings.width, settings.height, settings.depth});

    setCheck(dialog, IDC_USE_DESKTOP, settings.useDesktop);
    setCheck(dialog, IDC_ENABLE_MUSIC, settings.enableMusic);
    setVolumeLabel(dialog, settings.volume);
    showMusicControls(dialog);
    setCheck(dialog, IDC_DEFAULT_GAMMA, settings.defGamma);
    setBrightnessLabel(dialog, settings.gamma);
    showGammaControls(dialog);
    setCheck(dialog, IDC_SHOW_TIME, settings.showClock);
    setCheck(dialog, IDC_SHOW_FPS, settings.showFps);
    setCheck(dialog, IDC_VSYNC, settings.vSync);
    setCheck(dialog, IDC_MOUSE_EXIT, settings.mouseExit);
    setCheck(dialog, IDC_12_HOURS, settings.timeFormat);
    setCheck(dialog, IDC_24_HOURS, !settings.timeFormat);
    showClockControls(dialog);

    setSlider(dialog, IDC_VOLUME, 1, settings.volume);
    setSlider(dialog, IDC_GAMMA, 0, settings.gamma);
    setSlider(dialog, IDC_SPEED, 0, settings.speed);
}

void initialise(HWND dialog) {
    fillModeList(dialog);
    // A Windows installation is the .scr and data.sdd alone: the label says what the program is and points to
    // nothing the user does not have.
    SetDlgItemTextA(dialog, IDC_PRODUCTS_LABEL,
                    "Heliox: the Sun, its planets and their moons as a screen saver.");
    showSettings(dialog);
}

// The chosen mode becomes Width, Height and Depth; an empty list or unreadable text keeps them.
void takeSelectedMode(HWND dialog) {
    const LRESULT selected = SendDlgItemMessageA(dialog, IDC_VIDEO_MODE, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return;
    char text[64] = {};
    if (SendDlgItemMessageA(dialog, IDC_VIDEO_MODE, CB_GETLBTEXTLEN, selected, 0) >= LRESULT(sizeof text))
        return;
    SendDlgItemMessageA(dialog, IDC_VIDEO_MODE, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    if (const std::optional<DisplayMode> mode = parseDisplayMode(text)) {
        settings.width = mode->width;
        settings.height = mode->height;
        settings.depth = mode->bitsPerPixel;
    }
}

// Each box flips its setting and then shows the setting, so the two always agree.
void toggle(HWND dialog, int id, bool& setting) {
    setting = !setting;
    setCheck(dialog, id, setting);
}

// Every setting the dialog shows goes back to its default (the mode to the desktop's); nothing is saved
// until OK.
void restoreDefaults(HWND dialog) {
    restoreDefaultSettings(settings, restoredByDialog);
    showSettings(dialog);
}

bool command(HWND dialog, int id) {
    switch (id) {
    case IDOK:
        // OK saves what the dialog shows, whatever moved a slider last.
        takeSliders(dialog);
        // With Use Desktop Settings the show runs in the desktop's mode, which the list only shows: the
        // user's own Width, Height and Depth stay stored for the day the box is cleared.
        if (!settings.useDesktop)
            takeSelectedMode(dialog);
        settings.timeFormat = IsDlgButtonChecked(dialog, IDC_12_HOURS) == BST_CHECKED;
        saveSettings();
        EndDialog(dialog, IDOK);
        return true;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return true;
    case IDC_USE_DESKTOP:
        toggle(dialog, id, settings.useDesktop);
        enable(dialog, IDC_VIDEO_MODE, !settings.useDesktop);
        if (settings.useDesktop)
            selectDesktopMode(dialog);
        return true;
    case IDC_ENABLE_MUSIC:
        toggle(dialog, id, settings.enableMusic);
        showMusicControls(dialog);
        return true;
    case IDC_SHOW_TIME:
        toggle(dialog, id, settings.showClock);
        showClockControls(dialog);
        return true;
    case IDC_RESTORE_DEFAULTS:
        restoreDefaults(dialog);
        return true;
    case IDC_ABOUT:
        DialogBoxParamA(programInstance, MAKEINTRESOURCEA(IDD_ABOUT), dialog, aboutDialogProc, 0);
        return true;
    case IDC_MOUSE_EXIT:
        toggle(dialog, id, settings.mouseExit);
        return true;
    case IDC_SHOW_FPS:
        toggle(dialog, id, settings.showFps);
        return true;
    case IDC_VSYNC:
        toggle(dialog, id, settings.vSync);
        return true;
    case IDC_DEFAULT_GAMMA:
        toggle(dialog, id, settings.defGamma);
        SendDlgItemMessageA(dialog, IDC_GAMMA, TBM_SETPOS, TRUE, neutralGamma);
        settings.gamma = neutralGamma;
        showGammaControls(dialog);
        setBrightnessLabel(dialog, neutralGamma);
        return true;
    default:
        return false; // the radio buttons look after themselves and are read at OK
    }
}

} // namespace

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        initialise(dialog);
        startDialogScript(dialog, testDialogScript());
        return TRUE;
    case WM_COMMAND:
        return command(dialog, LOWORD(wParam));
    case WM_HSCROLL:
        takeSliders(dialog);
        return TRUE;
    case WM_TIMER:
        return playDialogScriptStep(dialog, wParam);
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, "Heliox " HELIOX_VERSION_TEXT);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void runConfig(Win32Application& application) {
    programInstance = application.instance;
    // The dialog's sliders are common controls: their class must exist before the dialog is made.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // A window number that names no live window would make the dialog fail; it then has no owner.
    HWND owner = parentWindowOf(application);
    if (owner && !IsWindow(owner))
        owner = nullptr;
    DialogBoxParamA(application.instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, settingsDialogProc, 0);
}
