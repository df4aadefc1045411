#pragma once

#include "app/command_line.h"
#include "base/settings.h"

// The settings of one run: the stored ones with the command line's choices over them (--speed, --volume,
// --fps, --clock, --time-format, --max-fps, --music, --no-music, --multisample, --no-multisample). Drawn
// into a host's window (XScreenSaver), the music is off unless --music asks for it: the host decides what
// the machine sounds like. The stored settings never change.
Settings runSettings(Settings stored, const RunOptions& options, bool inHostWindow);
