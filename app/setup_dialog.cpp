// The setup dialog (resource 101): lists the primary display's modes of the chosen colour
// depth and lets the user pick one, and whether to run in a window.
#include "app/setup_dialog.h"

#include <stdio.h>
#include <string.h>

DisplaySettings displaySettings;
int32_t modeList[kMaxModes][2];
int32_t modeCount;

void SetDefaultDisplaySettings(HINSTANCE instance) {
    displaySettings.width = 1280;
    displaySettings.height = 720;
    displaySettings.bitsPerPixel = 32;
    displaySettings.windowed = 0;
    displaySettings.multisampling = 0;
    displaySettings.instance = instance;
}

static void FillModeList(HWND dialog) {
    // The combo box starts empty, so the table does too: entry i must stay entry i.
    modeCount = 0;
    DEVMODEA mode;
    memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; modeCount < kMaxModes && EnumDisplaySettingsA(NULL, i, &mode); i++) {
        int32_t width = (int32_t)mode.dmPelsWidth;
        int32_t height = (int32_t)mode.dmPelsHeight;
        if ((int32_t)mode.dmBitsPerPel != displaySettings.bitsPerPixel) continue;
        // Modes that differ only in refresh rate come one after another; list their size once.
        if (modeCount > 0 && modeList[modeCount - 1][0] == width && modeList[modeCount - 1][1] == height) continue;
        modeList[modeCount][0] = width;
        modeList[modeCount][1] = height;
        modeCount++;
        char text[500];
        snprintf(text, sizeof text, "%d * %d", width, height);
        SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_ADDSTRING, 0, (LPARAM)text);
    }
}

static void SelectDefaultMode(HWND dialog) {
    int32_t selection = modeCount - 1;
    for (int32_t i = 0; i < modeCount; i++) {
        if (modeList[i][0] == displaySettings.width && modeList[i][1] == displaySettings.height) selection = i;
    }
    SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_SETCURSEL, (WPARAM)selection, 0);
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        FillModeList(dialog);
        SelectDefaultMode(dialog);
        if (displaySettings.windowed) SendDlgItemMessageA(dialog, IDC_WINDOWED, BM_SETCHECK, BST_CHECKED, 0);
        if (displaySettings.multisampling) SendDlgItemMessageA(dialog, IDC_MULTISAMPLING, BM_SETCHECK, BST_CHECKED, 0);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            LRESULT selection = SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_GETCURSEL, 0, 0);
            // With no mode of this depth the list is empty and nothing is selected (CB_ERR):
            // keep the width and height from before the dialog, which are a usable window.
            if (selection >= 0 && selection < modeCount) {
                displaySettings.width = modeList[selection][0];
                displaySettings.height = modeList[selection][1];
            }
            displaySettings.windowed = (int32_t)SendDlgItemMessageA(dialog, IDC_WINDOWED, BM_GETCHECK, 0, 0);
            displaySettings.multisampling = (int32_t)SendDlgItemMessageA(dialog, IDC_MULTISAMPLING, BM_GETCHECK, 0, 0);
            EndDialog(dialog, 1);
            break;
        }
        case IDCANCEL:
            EndDialog(dialog, 0);
            break;
        }
        return FALSE;
    }
    return FALSE;
}
