#pragma once

#include <string_view>

// Whether a whole command line (program name included, as GetCommandLineA gives it) asks for something the
// program does: no switch (the settings), or a first switch of c, p, s or t in either case. The switch is
// found as parseCommandLine finds it: the program name skipped, then the first '/' or '-'.
bool isKnownHostSwitch(std::string_view commandLine);
