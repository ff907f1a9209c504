// Display settings and the setup dialog that picks them.
#pragma once

#include <windows.h>
#include <stdint.h>

struct DisplaySettings {
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;
    int32_t windowed;
    int32_t multisampling;
    HINSTANCE instance;
};

extern DisplaySettings displaySettings;

constexpr int32_t kMaxModes = 4096;
extern int32_t modeList[kMaxModes][2];
extern int32_t modeCount;

// Control ids of resource 101.
#define IDD_SETUP 101
#define IDC_RESOLUTION 1001
#define IDC_WINDOWED 1003
#define IDC_MULTISAMPLING 1006

void SetDefaultDisplaySettings(HINSTANCE instance);
INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
