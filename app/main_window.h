// The one main window of the program.
#pragma once

#include <windows.h>

// Created by WinMain; read by the graphics device and handed to the audio library.
extern HWND mainWindow;
