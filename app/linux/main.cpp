// heliox on Linux: reads the command line and runs the one mode it asks for.
#include "app/command_line.h"
#include "app/headless/render.h"

#include <iostream>
#include <string_view>
#include <vector>

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
    // The on-screen shell (full screen, window, XScreenSaver, preview, settings) is not part of this build
    // yet.
    std::cerr << "heliox: only off-screen rendering is available in this build: heliox --render DIR\n";
    return 1;
}
