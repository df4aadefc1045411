#pragma once

#include <string>

// How the program's messages reach a Windows user: a box titled with the program's name, with the error icon,
// that says what went wrong and what to do about it.

// Messages the Windows shell writes itself carry this caption and already end with their advice.
inline constexpr const char* programCaption = "Heliox";

// The box's text for a message shown with `caption`. The portable loaders' messages ("Error", "TGA") say what
// failed in the show's data, never what to do: they get the advice that mends damaged data. The "heliox: "
// that starts a line on a console says nothing in a box titled Heliox, and goes.
std::string errorBoxText(const char* caption, const std::string& text);

// Shows the message in a box and waits for OK.
void showErrorBox(const char* caption, const std::string& text);

// The same message as one line on standard error ("Heliox: ..."), for runs with no one at the screen.
void writeErrorLine(const char* caption, const std::string& text);
