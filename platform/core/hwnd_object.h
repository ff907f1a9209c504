// Every HWND the platform hands out points at one of these: the main window, a dialog,
// or a dialog control. Sending a message is a virtual call, so SendMessageA works the same
// for all of them without the caller knowing which module made the window.
#pragma once

#include <windows.h>

struct SDL_Window;

struct HWND__ {
    virtual ~HWND__() = default;
    // Delivers a message synchronously to the window's procedure, as SendMessageA does.
    virtual LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The SDL window behind a top-level window, or null for dialogs and controls.
    virtual SDL_Window* SdlWindow() { return nullptr; }
};

namespace quarvel::core {

// True while `window` is a live handle made by this platform (a stale or invented
// pointer is never dereferenced).
bool IsLiveWindow(HWND window);
void RegisterLiveWindow(HWND window);
void UnregisterLiveWindow(HWND window);

// The SDL window of a top-level HWND (null for anything else).
SDL_Window* SdlWindowFromHwnd(HWND window);

}  // namespace quarvel::core
