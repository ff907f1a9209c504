// The top-level windows of the Win32 stand-in: one SDL window each, OpenGL-capable so the
// Direct3D stand-in can create its context on it. As on Windows, a window belongs to the
// thread that created it, and only that thread calls the functions below.
#pragma once

#include <windows.h>

#include <vector>

#include "core/hwnd_object.h"

struct SDL_Window;

namespace quarvel::win32 {

class Window final : public HWND__ {
public:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) override;
    SDL_Window* SdlWindow() override { return sdl; }

    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    bool hasMenu = false;
    SDL_Window* sdl = nullptr;
    bool visible = false;
    bool fullScreen = false;  // a WS_POPUP window after its display-mode switch
    bool destroying = false;  // DestroyWindow has begun; no longer live once it ends
    int sendDepth = 0;        // window-procedure calls in progress on this window
};

// The window behind a live handle made here, or null (dialogs and controls are HWNDs of
// other modules).
Window* AsWindow(HWND handle);
// The live window whose SDL window has this id.
Window* WindowFromSdlId(uint32_t id);
// The most recently created live window, or null.
Window* NewestWindow();
// Every live window, oldest first.
const std::vector<Window*>& TopLevelWindows();

HWND ActiveWindow();
// Makes `window` the active window with the WM_ACTIVATE code `how` (WA_ACTIVE, ...),
// sending WM_ACTIVATEAPP first when the application was inactive.
void ActivateWindow(Window* window, WPARAM how);
// Deactivates `window` if it is the active one: WM_ACTIVATE(WA_INACTIVE), WM_ACTIVATEAPP(FALSE).
void DeactivateWindow(Window* window);

// Client-area origin in screen coordinates.
POINT ClientOrigin(Window* window);

struct FrameInsets {
    LONG left, top, right, bottom;
};
// What the non-client frame adds around the client area for a style, at 96 dpi.
FrameInsets FrameFor(DWORD style, DWORD exStyle, bool menu);

}  // namespace quarvel::win32
