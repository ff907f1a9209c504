// Window creation, showing, activation and destruction.
#include "window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/log_once.h"
#include "core/video.h"
#include "display_modes.h"
#include "input_script.h"
#include "message_queue.h"
#include "mouse.h"
#include "trace.h"
#include "window_class.h"

namespace quarvel::win32 {
namespace {

std::vector<Window*>& LiveList() {
    static std::vector<Window*> windows;
    return windows;
}
// SDL windows of destroyed HWNDs. They outlive the handle because the Direct3D stand-in may
// still hold its GL context on one when the program releases its device after the window
// was closed; a hidden window costs nothing until the process ends.
std::vector<SDL_Window*>& Parked() {
    static std::vector<SDL_Window*> windows;
    return windows;
}
Window* active = nullptr;
bool finished(Window* window) { return !core::IsLiveWindow(window); }

void EnterFullScreen(Window* window) {
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    if (core::IsHeadless()) {
        // The virtual display takes any mode: the window keeps its size at the origin.
        SDL_SetWindowPosition(window->sdl, 0, 0);
        window->fullScreen = true;
        Trace("display mode switch to %dx%d (virtual display)", width, height);
        return;
    }
    int display = SDL_GetWindowDisplayIndex(window->sdl);
    if (display < 0) display = 0;
    SDL_DisplayMode wanted{};
    wanted.w = width;
    wanted.h = height;
    SDL_DisplayMode closest{};
    Uint32 flag = SDL_WINDOW_FULLSCREEN;
    if (SDL_GetClosestDisplayMode(display, &wanted, &closest)) {
        SDL_SetWindowDisplayMode(window->sdl, &closest);
    } else {
        std::fprintf(stderr, "win32: ShowWindow: no display mode near %dx%d; using the desktop's\n", width, height);
        flag = SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    if (SDL_SetWindowFullscreen(window->sdl, flag) != 0) {
        std::fprintf(stderr, "win32: ShowWindow: cannot go full screen: %s\n", SDL_GetError());
        return;
    }
    window->fullScreen = true;
    Trace("display mode switch to %dx%d", closest.w, closest.h);
}

// Takes a window out of circulation once its last message has been sent.
void Discard(Window* window) {
    if (active == window) active = nullptr;
    core::UnregisterLiveWindow(window);
    LiveList().erase(std::remove(LiveList().begin(), LiveList().end(), window), LiveList().end());
    PurgeMessages(window);
    if (window->fullScreen && !core::IsHeadless()) SDL_SetWindowFullscreen(window->sdl, 0);
    SDL_HideWindow(window->sdl);
    Parked().push_back(window->sdl);
    window->destroying = true;
}

}  // namespace

LRESULT Window::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    ++sendDepth;
    LRESULT result = proc(this, message, wParam, lParam);
    // A procedure may destroy its own window (DefWindowProcA's WM_CLOSE does); the object
    // goes only when the outermost call on it has returned.
    if (--sendDepth == 0 && destroying && finished(this)) delete this;
    return result;
}

Window* AsWindow(HWND handle) {
    if (!core::IsLiveWindow(handle)) return nullptr;
    return dynamic_cast<Window*>(handle);
}

Window* WindowFromSdlId(uint32_t id) {
    for (Window* window : LiveList())
        if (SDL_GetWindowID(window->sdl) == id) return window;
    return nullptr;
}

const std::vector<Window*>& TopLevelWindows() { return LiveList(); }

Window* NewestWindow() { return LiveList().empty() ? nullptr : LiveList().back(); }

HWND ActiveWindow() { return active; }

void ActivateWindow(Window* window, WPARAM how) {
    if (active == window) return;
    Window* previous = active;
    if (previous) {
        active = nullptr;
        previous->Send(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    } else {
        window->Send(WM_ACTIVATEAPP, TRUE, 0);
    }
    if (finished(window)) return;
    active = window;
    window->Send(WM_ACTIVATE, how, reinterpret_cast<LPARAM>(previous));
}

void DeactivateWindow(Window* window) {
    if (active != window) return;
    active = nullptr;
    window->Send(WM_ACTIVATE, WA_INACTIVE, 0);
    if (!finished(window)) window->Send(WM_ACTIVATEAPP, FALSE, 0);
}

}  // namespace quarvel::win32

using namespace quarvel::win32;

extern "C" {

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
    const WindowClass* windowClass = FindWindowClass(lpClassName);
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (dwStyle & WS_CHILD) {
        if (!hWndParent) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        quarvel::core::LogOnce("win32", "CreateWindowExA", "not supported: child windows");
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A close request becomes WM_CLOSE for the program to act on; SDL must not add a quit
    // event of its own when the last window is asked to close.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (!quarvel::core::InitVideo()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }

    const bool popup = (dwStyle & WS_POPUP) != 0;
    const bool menu = hMenu != nullptr;
    FrameInsets frame = FrameFor(dwStyle, dwExStyle, menu);
    if (nWidth == CW_USEDEFAULT || nHeight == CW_USEDEFAULT) {
        // Only overlapped windows get a default size; Windows gives pop-ups none.
        DisplayMode desktop{1920, 1080, 32, 60};
        CurrentDisplayMode(&desktop);
        nWidth = popup ? 0 : static_cast<int>(desktop.width * 3 / 4);
        nHeight = popup ? 0 : static_cast<int>(desktop.height * 3 / 4);
    }
    // The outer size includes the frame; SDL sizes the client area, which is exactly what is
    // left inside it.
    int clientWidth = std::max(1, nWidth - static_cast<int>(frame.left + frame.right));
    int clientHeight = std::max(1, nHeight - static_cast<int>(frame.top + frame.bottom));
    int clientX, clientY;
    if (X == CW_USEDEFAULT) {
        // On the virtual display the frame's corner goes to the screen's origin; a window
        // manager places it on a real one.
        clientX = quarvel::core::IsHeadless() ? frame.left : SDL_WINDOWPOS_UNDEFINED;
        clientY = quarvel::core::IsHeadless() ? frame.top : SDL_WINDOWPOS_UNDEFINED;
    } else {
        clientX = X + frame.left;
        clientY = Y + frame.top;
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (popup) flags |= SDL_WINDOW_BORDERLESS;
    if (dwStyle & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    SDL_Window* sdl = SDL_CreateWindow(lpWindowName ? lpWindowName : "", clientX, clientY, clientWidth,
                                       clientHeight, flags);
    if (!sdl) {
        std::fprintf(stderr, "win32: CreateWindowExA: %s\n", SDL_GetError());
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    ApplyCursorVisibility();

    auto* window = new Window;
    window->proc = windowClass->desc.lpfnWndProc;
    window->style = dwStyle;
    window->exStyle = dwExStyle;
    window->hasMenu = menu;
    window->sdl = sdl;
    quarvel::core::RegisterLiveWindow(window);
    LiveList().push_back(window);
    NoteWindowCreated();
    Trace("CreateWindowExA \"%s\" \"%s\" client %dx%d%s", windowClass->name.c_str(),
          lpWindowName ? lpWindowName : "", clientWidth, clientHeight, popup ? " popup" : "");

    CREATESTRUCTA create{lpParam,   hInstance,     hMenu,        hWndParent,
                         nHeight,   nWidth,        Y,            X,
                         static_cast<LONG>(dwStyle), lpWindowName, windowClass->name.c_str(), dwExStyle};
    HWND handle = window;
    if (!window->Send(WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        // Windows still sends WM_NCDESTROY to a window whose WM_NCCREATE failed.
        ++window->sendDepth;
        window->Send(WM_NCDESTROY, 0, 0);
        if (quarvel::core::IsLiveWindow(handle)) Discard(window);
        if (--window->sendDepth == 0) delete window;
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (quarvel::core::IsLiveWindow(handle) && window->Send(WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        if (quarvel::core::IsLiveWindow(handle)) DestroyWindow(handle);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!quarvel::core::IsLiveWindow(handle)) return nullptr;  // the procedure destroyed it during creation
    if (dwStyle & WS_VISIBLE) {
        window->style &= ~WS_VISIBLE;
        ShowWindow(handle, SW_SHOW);
    }
    return handle;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    Window* window = AsWindow(hWnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (window->destroying) return TRUE;  // called again from its own WM_DESTROY
    window->destroying = true;
    ++window->sendDepth;  // keeps the object while the messages below run
    DeactivateWindow(window);
    ReleaseCaptureOf(hWnd);
    window->Send(WM_DESTROY, 0, 0);
    window->Send(WM_NCDESTROY, 0, 0);

    Discard(window);
    Trace("DestroyWindow");
    if (--window->sendDepth == 0) delete window;
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    Window* window = AsWindow(hWnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const BOOL wasVisible = window->visible ? TRUE : FALSE;
    if (nCmdShow == SW_HIDE) {
        if (!window->visible) return FALSE;
        window->Send(WM_SHOWWINDOW, FALSE, 0);
        if (!quarvel::core::IsLiveWindow(hWnd)) return TRUE;
        SDL_HideWindow(window->sdl);
        window->visible = false;
        DeactivateWindow(window);
        return TRUE;
    }
    if (!window->visible) {
        window->Send(WM_SHOWWINDOW, TRUE, 0);
        if (!quarvel::core::IsLiveWindow(hWnd)) return FALSE;
        SDL_ShowWindow(window->sdl);
        window->visible = true;
        if (window->style & WS_POPUP) EnterFullScreen(window);
    }
    switch (nCmdShow) {
        case SW_SHOWMINIMIZED:
            SDL_MinimizeWindow(window->sdl);
            // Activated while minimised: the high word of WM_ACTIVATE's wParam says so.
            ActivateWindow(window, MAKEWPARAM(WA_ACTIVE, 1));
            break;
        case SW_MINIMIZE:
            SDL_MinimizeWindow(window->sdl);
            DeactivateWindow(window);
            break;
        case SW_SHOWMINNOACTIVE: SDL_MinimizeWindow(window->sdl); break;
        case SW_SHOWNOACTIVATE:
        case SW_SHOWNA: break;
        case SW_SHOWMAXIMIZED:
            SDL_MaximizeWindow(window->sdl);
            ActivateWindow(window, WA_ACTIVE);
            break;
        case SW_RESTORE:
            SDL_RestoreWindow(window->sdl);
            ActivateWindow(window, WA_ACTIVE);
            break;
        default: ActivateWindow(window, WA_ACTIVE); break;
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    // Nothing is painted through WM_PAINT here: the program draws with Direct3D.
    if (!AsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) { return quarvel::core::IsLiveWindow(hWnd) ? TRUE : FALSE; }

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    Window* window = AsWindow(hWnd);
    if (!window) {
        if (quarvel::core::IsLiveWindow(hWnd))
            quarvel::core::LogOnce("win32", "SetWindowTextA", "not supported: dialog windows");
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    SDL_SetWindowTitle(window->sdl, lpString ? lpString : "");
    return TRUE;
}

}  // extern "C"
