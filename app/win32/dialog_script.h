#pragma once

#include <windows.h>

#include <string>

// Lets a test work a dialog as a user would, one step per timer tick, with the dialog's own message
// handling in between. Steps are separated by ';':
//   click:ID       clicks the button or box ID (as BM_CLICK does: the dialog gets its WM_COMMAND)
//   slide:ID:POS   drags the slider ID to POS (TBM_SETPOS, then the dialog's WM_HSCROLL with TB_THUMBTRACK)
//   key:ID:VK      gives the control ID the focus and presses and releases the virtual key VK (decimal) on
//   it,
//                  as the keyboard would: the control itself decides what the key does
//   wheel:ID:DELTA turns the mouse wheel by DELTA (120 a notch, negative towards the user) over the control
//   ID popup:ID       in the modal box the dialog has opened (About...), writes "popup caption=CAPTION" and
//   its
//                  controls (as dump does) to standard output and clicks its button ID
//   dump           writes the state of every control with an id to standard output, one line each:
//                  "ID enabled=E checked=C pos=P text=TEXT" (checked and pos only where they apply)

// Starts playing `script` on `dialog`; an empty script does nothing.
void startDialogScript(HWND dialog, const std::string& script);

// Plays the next step when the timer is the script's. Returns whether it was.
bool playDialogScriptStep(HWND dialog, WPARAM timer);
