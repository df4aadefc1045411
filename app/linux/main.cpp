// heliox on Linux: reads the command line and the settings, and runs the one mode they ask for.
#include "app/command_line.h"
#include "app/headless/render.h"
#include "app/linux/preview_window.h"
#include "app/linux/settings_file.h"
#include "app/linux/x_errors.h"
#include "app/linux/x_show.h"
#include "app/run_modes.h"

#include <X11/Xlib.h>

#include <iostream>
#include <string_view>
#include <vector>

namespace {

// Until there is a settings dialog, the settings are where to find them and what they hold now.
void printSettings() {
    const std::string path = settingsFilePath();
    std::cout << "Settings file: " << (path.empty() ? "(none: no home folder)" : path) << "\n"
              << settingsValuesText(settings);
}

// The connection to the X server, for the rest of the process: the exit closes it. Closing it earlier would
// gain nothing, and it would make Mesa's GLX unload its driver while the driver's globals still hold memory,
// which the sanitizer builds then report as our leak.
Display* connection = nullptr;

Display* openDisplay() {
    connection = XOpenDisplay(nullptr);
    if (!connection)
        std::cerr << "heliox: cannot open the X display \"" << XDisplayName(nullptr)
                  << "\" (heliox --render DIR draws without one)\n";
    return connection;
}

int showPreview(std::uint32_t parent) {
    Display* display = openDisplay();
    if (!display)
        return 1;
    handleXErrors(nullptr);
    return runPreviewWindow(display, parent);
}

int showOnX(const RunOptions& options) {
    Display* display = openDisplay();
    return display ? runShowOnX(display, options) : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    SaverApplication app;
    std::string error;
    switch (parseArguments(args, app, error)) {
    case ArgumentsResult::Help:
        std::cout << usageText();
        return 0;
    case ArgumentsResult::UsageError:
        std::cerr << "heliox: " << error << "\n" << usageText();
        return 2;
    case ArgumentsResult::Run:
        break;
    }
    if (!app.options.renderDir.empty())
        return runRender(app.options);

    // With no host to ask for the settings, a bare `heliox` runs the show; "-c" still gives the settings.
    if (app.mode == RunMode::Config && !app.switchGiven)
        app.mode = RunMode::Saver;
    loadSettings();
    int exitCode = 0;
    RunModes modes;
    modes.config = [](SaverApplication&) { printSettings(); };
    modes.preview = [&](SaverApplication& a) { exitCode = showPreview(a.parentWindow); };
    modes.saver = [&](SaverApplication& a) { exitCode = showOnX(a.options); };
    runMode(app, modes);
    return exitCode;
}
