#pragma once

#include <string>

// Hooks that let the Wine smoke tests drive the program without a person at the screen. Each is off unless
// its environment variable is set, so an installed saver behaves as it always does.

// HELIOX_TEST_FRAME=FILE: the saver run saves its tenth frame to FILE as a 24-bit BMP and ends.
std::string testFramePath();

// HELIOX_TEST_MESSAGES=stderr: messages for the user go to standard error instead of a message box, which
// would wait for a click.
bool testMessagesToStandardError();

// HELIOX_TEST_DIALOG=STEPS: the settings dialog plays STEPS once it is shown (see dialog_script.h).
std::string testDialogScript();
