// heliox.scr: the screen-saver host starts it with a switch that chooses the settings dialog, the preview or
// the show.
#include "app/run_modes.h"
#include "app/settings.h"
#include "app/user_message.h"
#include "app/win32/preview_window.h"
#include "app/win32/saver_run.h"
#include "app/win32/settings_dialog.h"
#include "app/win32/test_hooks.h"
#include "app/win32/win32_application.h"

#include <windows.h>

namespace {

void showMessageBox(const char* caption, const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), caption, MB_OK);
}

// The command line, the settings, the monitors, and with UseDesktop the desktop's own mode in place of the
// stored one (in memory only: the registry keeps what the user chose).
void initApplication(Win32Application& application) {
    application.app.mode = parseCommandLine(GetCommandLineA(), application.app.parentWindow);
    loadSettings();
    application.monitors = enumerateMonitors(lookUpMonitorApi());
    if (settings.useDesktop) {
        DEVMODEA desktop{};
        desktop.dmSize = sizeof desktop;
        if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &desktop)) {
            settings.width = desktop.dmPelsWidth;
            settings.height = desktop.dmPelsHeight;
            settings.depth = desktop.dmBitsPerPel;
        }
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    if (!testMessagesToStandardError())
        setUserMessageHandler(showMessageBox);
    Win32Application application;
    application.instance = instance;
    application.showCommand = showCommand;
    initApplication(application);
    // Every data file is read through "data.sdd" in the installation folder. A missing Path leaves the
    // current directory as it is.
    if (!settings.path.empty())
        SetCurrentDirectoryA(settings.path.c_str());

    RunModes modes;
    modes.config = [&](SaverApplication&) { runConfig(application); };
    modes.preview = [&](SaverApplication&) { runPreview(application); };
    modes.saver = [&](SaverApplication&) { runSaver(application); };
    runMode(application.app, modes);
    return 0;
}
