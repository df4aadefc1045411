#pragma once

#include "app/win32/win32_application.h"

// The settings dialog, modal over the window number after "/c" (none when there is none or it is gone). OK
// writes every setting to the registry; Cancel and closing write nothing.
void runConfig(Win32Application& application);

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
