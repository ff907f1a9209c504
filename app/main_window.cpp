// Kept apart from WinMain so that code which only needs the handle (the graphics device and
// its tests) does not pull the whole start-up in with it.
#include "app/main_window.h"

HWND mainWindow = NULL;
