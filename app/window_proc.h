// The main window's procedure: activation, quitting and left-button drags.
#pragma once

#include <windows.h>

// True while the main window (or the application) is active; keys are polled only then.
extern bool windowActive;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
