#pragma once

#include "app/command_line.h"

#include <functional>

// What the program can do once it has read its command line. Each shell supplies the three.
struct RunModes {
    std::function<void(SaverApplication&)> config;  // the settings
    std::function<void(SaverApplication&)> preview; // the picture in the host's preview area
    std::function<void(SaverApplication&)> saver;   // the show
};

// Runs exactly the one mode that the command line chose; Test runs the show exactly as Saver does. What the
// mode reports is not the process's business: a screen saver ends with 0 whatever happened.
void runMode(SaverApplication& app, const RunModes& modes);
