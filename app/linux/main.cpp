// heliox on Linux: reads the command line and the settings, and runs the one mode they ask for.
#include "app/command_line.h"
#include "app/headless/show.h"
#include "app/linux/preview_window.h"
#include "app/linux/settings_file.h"
#include "app/linux/show.h"
#include "app/linux/x_errors.h"
#include "app/run_modes.h"
#include "app/settings_store.h"
#include "app/show_archive.h"
#include "base/printable_text.h"
#include "check/show_check.h"

#include <X11/Xlib.h>

#include <filesystem>
#include <iostream>
#include <string_view>
#include <vector>

namespace {

// Linux has no settings dialog: -c says where the settings live, what they hold and how to change them.
void printSettings() {
    const std::string path = settingsFilePath();
    std::error_code ec;
    if (path.empty())
        std::cout << "Settings file: none (no home folder); the defaults are in use\n";
    else if (std::filesystem::exists(path, ec))
        std::cout << "Settings file: " << printableText(path) << "\n";
    else
        std::cout << "Settings file: " << printableText(path)
                  << " (not there yet: the defaults are in use)\n";
    std::cout << settingsValuesText(settings)
              << "Change one with: heliox --set NAME=VALUE (see heliox(6) for the names and ranges)\n";
}

// --set NAME=VALUE...: every change is checked as the settings file's lines are, and only when all of them
// are good are they saved, together, through the same safe replacement of the file.
int saveSettingsFromCommandLine(const std::vector<std::string>& changes) {
    const std::vector<std::string> refused = setSettings(settings, changes);
    for (const std::string& reason : refused)
        std::cerr << "heliox: --set " << reason << "\n";
    if (!refused.empty()) {
        std::cerr << "heliox: nothing saved\n";
        return 2;
    }
    if (!saveSettings())
        return 1;
    std::cout << "Saved in " << printableText(settingsFilePath()) << ":\n" << settingsValuesText(settings);
    return 0;
}

// The connection to the X server, for the rest of the process: the exit closes it. Closing it earlier would
// gain nothing, and it would make Mesa's GLX unload its driver while the driver's globals still hold memory,
// which the sanitizer builds then report as our leak.
Display* connection = nullptr;

Display* openDisplay() {
    connection = XOpenDisplay(nullptr);
    if (!connection)
        std::cerr << "heliox: cannot open the X display \"" << printableText(XDisplayName(nullptr))
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
    return display ? runSaver(display, options) : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    SaverApplication app;
    std::string error;
    switch (parseArguments(args, app, error)) {
    case ArgumentsResult::help:
        std::cout << usageText();
        return 0;
    case ArgumentsResult::version:
        std::cout << versionText();
        return 0;
    case ArgumentsResult::usageError:
        // The fault and where the options are, in one line: the whole help would push the fault off the
        // screen.
        std::cerr << "heliox: " << error
                  << (error.find("--help") == std::string::npos ? "; see heliox --help" : "") << "\n";
        return 2;
    case ArgumentsResult::run:
        break;
    }
    if (app.options.check)
        return runShowCheck(showArchivePath(app.options), std::cout);
    if (!app.options.renderDir.empty())
        return headless::runSaver(app.options);

    loadSettings();
    if (!app.options.settingsToSave.empty())
        return saveSettingsFromCommandLine(app.options.settingsToSave);
    // With no host to ask for the settings, a bare `heliox` runs the show; "-c" still gives the settings.
    if (app.mode == RunMode::Config && !app.switchGiven)
        app.mode = RunMode::Saver;
    int exitCode = 0;
    RunModes modes;
    modes.config = [](SaverApplication&) { printSettings(); };
    modes.preview = [&](SaverApplication& a) { exitCode = showPreview(a.parentWindow); };
    modes.saver = [&](SaverApplication& a) { exitCode = showOnX(a.options); };
    runMode(app, modes);
    return exitCode;
}
