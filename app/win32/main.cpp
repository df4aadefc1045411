// heliox.scr: the screen-saver host starts it with a switch that chooses the settings dialog, the preview or
// the show.
#include "app/run_modes.h"
#include "app/settings_store.h"
#include "app/win32/error_box.h"
#include "app/win32/host_switch.h"
#include "app/win32/installation_folder.h"
#include "app/win32/preview_window.h"
#include "app/win32/settings_dialog.h"
#include "app/win32/settings_store.h"
#include "app/win32/show.h"
#include "app/win32/test_hooks.h"
#include "app/win32/win32_application.h"
#include "base/settings.h"
#include "base/user_message.h"

#include <windows.h>

namespace {

// The command line, the settings, the monitors, and for the show with UseDesktop the desktop's own mode in
// place of the stored one (in memory only: the registry keeps what the user chose). The settings dialog keeps
// the stored mode, since OK writes the record back.
void initApplication(Win32Application& application) {
    application.app.mode = parseCommandLine(GetCommandLineA(), application.app.parentWindow);
    loadSettings();
    application.monitors = enumerateMonitors(lookUpMonitorApi());
    const bool show = application.app.mode == RunMode::Saver || application.app.mode == RunMode::Test;
    if (show && settings.useDesktop) {
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
    setUserMessageHandler(testMessagesToStandardError() ? writeErrorLine : showErrorBox);
    // Switches the host does not send (the old password switch "/a", "/?", a typing slip) ask for nothing
    // this program does: starting the full-screen show for them would take the screen from a user who did not
    // ask for it.
    if (!isKnownHostSwitch(GetCommandLineA()))
        return 0;
    Win32Application application;
    application.instance = instance;
    application.showCommand = showCommand;
    initApplication(application);
    // Every data file is read through "data.sdd" in the installation folder, which the installer names in
    // Path. The host starts screen savers in the system folder, where no data.sdd lies: Path is made the
    // current directory, or the program's own folder when Path has lost the show or was never written.
    // An installation for all users names its folder for every user in the machine's own key.
    application.installationFolder =
        chooseInstallationFolder({settings.path, readRegistryPath(HKEY_LOCAL_MACHINE, settingsKeyPath)},
                                 programFolder(), folderHoldsShow);
    if (!application.installationFolder.empty())
        SetCurrentDirectoryA(application.installationFolder.c_str());

    RunModes modes;
    modes.config = [&](SaverApplication&) { runConfig(application); };
    modes.preview = [&](SaverApplication&) { runPreview(application); };
    modes.saver = [&](SaverApplication&) { runSaver(application); };
    runMode(application.app, modes);
    return 0;
}
