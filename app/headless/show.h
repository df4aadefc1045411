#pragma once

#include "app/command_line.h"

// `heliox --render DIR`: runs the show off-screen and writes each frame as DIR/frame-NNNNN.png. A render is
// reproducible: the default settings, never the user's, a fixed seed and a fixed frame step, no music. The
// frame counter (--fps) counts the fixed steps, not the wall clock; the clock (--clock) shows the local time
// unless --time fixes it.
// Returns the exit code: 0 when every frame was written and the show loaded without a message, 1 otherwise.
// In the Linux program beside the X shell's runSaver, hence its namespace.
namespace headless {
int runSaver(const RunOptions& options);
}
