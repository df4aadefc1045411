// heliox.scr: the screen-saver host starts it with a switch that chooses the settings dialog, the preview or
// the show.
#include "app/run_modes.h"
#include "app/settings_store.h"
#include "app/win32/preview_window.h"
#include "app/win32/settings_dialog.h"
#include "app/win32/show.h"
#include "app/win32/test_hooks.h"
#include "app/win32/win32_application.h"
#include "base/settings.h"
#include "base/user_message.h"

#include <windows.h>

namespace {

void showMessageBox(const char* caption, const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), caption, MB_OK);
}

std::string programFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return {};
    std::string folder(path, length);
    const std::size_t separator = folder.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : folder.substr(0, separator);
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
    // Every data file is read through "data.sdd" in the installation folder, which the installer names in
    // Path. Without Path the program's own folder stands in: the host starts screen savers in the system
    // folder, where no data.sdd lies, and a saver copied beside its data.sdd then still finds it.
    const std::string installation = settings.path.empty() ? programFolder() : settings.path;
    if (!installation.empty())
        SetCurrentDirectoryA(installation.c_str());

    RunModes modes;
    modes.config = [&](SaverApplication&) { runConfig(application); };
    modes.preview = [&](SaverApplication&) { runPreview(application); };
    modes.saver = [&](SaverApplication&) { runSaver(application); };
    runMode(application.app, modes);
    return 0;
}
