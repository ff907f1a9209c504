// ShowCursor, mouse capture and ClipCursor.
#include "mouse.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "display_modes.h"
#include "window.h"

namespace quarvel::win32 {
namespace {
int cursorCounter = 0;  // ShowCursor's display counter; the cursor shows while it is >= 0
HWND capture = nullptr;
bool clipping = false;
RECT clip{};
WPARAM buttons = 0;
POINT cursor{0, 0};

// Confines the cursor in every window the clip rectangle overlaps (SDL confines per
// window, in client coordinates); windows outside it are left free.
void ApplyClipToWindows() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    for (Window* window : TopLevelWindows()) {
        if (!clipping) {
            SDL_SetWindowMouseRect(window->sdl, nullptr);
            continue;
        }
        POINT origin = ClientOrigin(window);
        int x = origin.x, y = origin.y, w = 0, h = 0;
        SDL_GetWindowSize(window->sdl, &w, &h);
        SDL_Rect area{std::max<int>(clip.left, x) - x, std::max<int>(clip.top, y) - y, 0, 0};
        area.w = std::min<int>(clip.right, x + w) - x - area.x;
        area.h = std::min<int>(clip.bottom, y + h) - y - area.y;
        SDL_SetWindowMouseRect(window->sdl, area.w > 0 && area.h > 0 ? &area : nullptr);
    }
}

}  // namespace

void ApplyCursorVisibility() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

HWND CaptureWindow() {
    if (capture && !core::IsLiveWindow(capture)) capture = nullptr;
    return capture;
}

void ReleaseCaptureOf(HWND window) {
    if (window && CaptureWindow() == window) ReleaseCapture();
}

POINT ConfineToClip(POINT screen) {
    if (!clipping) return screen;
    screen.x = std::clamp<LONG>(screen.x, clip.left, std::max(clip.left, clip.right - 1));
    screen.y = std::clamp<LONG>(screen.y, clip.top, std::max(clip.top, clip.bottom - 1));
    return screen;
}

void SetButtonState(WPARAM mkButtons) { buttons = mkButtons; }
WPARAM ButtonState() { return buttons; }
void SetCursorScreenPos(POINT screen) { cursor = screen; }
POINT CursorScreenPos() { return cursor; }

}  // namespace quarvel::win32

using namespace quarvel::win32;

extern "C" {

int WINAPI ShowCursor(BOOL bShow) {
    cursorCounter += bShow ? 1 : -1;
    ApplyCursorVisibility();
    return cursorCounter;
}

HWND WINAPI SetCapture(HWND hWnd) {
    HWND previous = CaptureWindow();
    if (!AsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    capture = hWnd;
    // Outside a window manager's focus (or on the virtual display) SDL cannot capture; the
    // platform still routes mouse messages to the capture window itself.
    SDL_CaptureMouse(SDL_TRUE);
    if (previous && previous != hWnd) previous->Send(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return previous;
}

BOOL WINAPI ReleaseCapture(void) {
    HWND previous = CaptureWindow();
    if (!previous) return TRUE;
    capture = nullptr;
    SDL_CaptureMouse(SDL_FALSE);
    previous->Send(WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture(void) { return CaptureWindow(); }

BOOL WINAPI ClipCursor(const RECT* lpRect) {
    if (!lpRect) {
        clipping = false;
    } else {
        clipping = true;
        clip = RECT{std::min(lpRect->left, lpRect->right), std::min(lpRect->top, lpRect->bottom),
                    std::max(lpRect->left, lpRect->right), std::max(lpRect->top, lpRect->bottom)};
        POINT inside = ConfineToClip(CursorScreenPos());
        SetCursorScreenPos(inside);
    }
    ApplyClipToWindows();
    return TRUE;
}

BOOL WINAPI GetClipCursor(LPRECT lpRect) {
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (clipping) {
        *lpRect = clip;
        return TRUE;
    }
    DisplayMode desktop{1920, 1080, 32, 60};
    CurrentDisplayMode(&desktop);
    *lpRect = RECT{0, 0, static_cast<LONG>(desktop.width), static_cast<LONG>(desktop.height)};
    return TRUE;
}

}  // extern "C"
