#pragma once

#include "app/win32/win32_application.h"

// The full-screen show: the display mode of the settings, the show on the first monitor and black on the
// others, the loading screen, the music, and the frame loop until a key, a click or (when asked) a mouse
// move ends it. The display mode, the gamma ramp and the cursor come back however it ends.
void runSaver(Win32Application& application);
