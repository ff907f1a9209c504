// The start-up steps that come before the main loop, shared by WinMain and the frame-dump
// tool, so both make the window and the sea program the same way.
#pragma once

#include <windows.h>

// Registers the main window's class; false when Windows refuses.
bool RegisterWindowClass(HINSTANCE instance);
// The main window for displaySettings: windowed, a frame around a client area of exactly the
// chosen size; full screen, a popup, with the cursor hidden. Null when it cannot be made.
HWND CreateMainWindow(HINSTANCE instance);
// The sea's ray-marching program into seaProgram. Needs the graphics device.
void CreateSeaProgram();
