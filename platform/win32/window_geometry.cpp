// Frame sizes and coordinate conversions of top-level windows.
#include <SDL2/SDL.h>

#include "core/log_once.h"
#include "window.h"

namespace quarvel::win32 {
namespace {
// Windows 10 system metrics at 96 dpi.
constexpr LONG kSizingFrame = 4 + 4;  // SM_CXSIZEFRAME + SM_CXPADDEDBORDER
constexpr LONG kFixedFrame = 3;       // SM_CXFIXEDFRAME
constexpr LONG kBorder = 1;           // SM_CXBORDER
constexpr LONG kCaption = 23;         // SM_CYCAPTION
constexpr LONG kMenuBar = 20;         // SM_CYMENU
}  // namespace

FrameInsets FrameFor(DWORD style, DWORD exStyle, bool menu) {
    LONG edge = 0;
    if (style & WS_THICKFRAME)
        edge = kSizingFrame;
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        edge = kFixedFrame;
    else if (style & WS_BORDER)
        edge = kBorder;
    FrameInsets frame{edge, edge, edge, edge};
    if ((style & WS_CAPTION) == WS_CAPTION) frame.top += kCaption;
    if (menu) frame.top += kMenuBar;
    return frame;
}

POINT ClientOrigin(Window* window) {
    POINT origin{0, 0};
    if (window->fullScreen) return origin;
    int x = 0, y = 0;
    SDL_GetWindowPosition(window->sdl, &x, &y);  // SDL places the client area, not the frame
    origin.x = x;
    origin.y = y;
    return origin;
}

}  // namespace quarvel::win32

using quarvel::win32::AsWindow;
using quarvel::win32::Window;

extern "C" {

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    quarvel::win32::FrameInsets frame = quarvel::win32::FrameFor(dwStyle, 0, bMenu != FALSE);
    lpRect->left -= frame.left;
    lpRect->top -= frame.top;
    lpRect->right += frame.right;
    lpRect->bottom += frame.bottom;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    Window* window = AsWindow(hWnd);
    if (!window || !lpRect) {
        if (quarvel::core::IsLiveWindow(hWnd))
            quarvel::core::LogOnce("win32", "GetClientRect", "not supported: dialog windows");
        SetLastError(lpRect ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    *lpRect = RECT{0, 0, width, height};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    Window* window = AsWindow(hWnd);
    if (!window || !lpRect) {
        SetLastError(lpRect ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT client{};
    GetClientRect(hWnd, &client);
    POINT origin = quarvel::win32::ClientOrigin(window);
    quarvel::win32::FrameInsets frame = window->fullScreen
                                            ? quarvel::win32::FrameInsets{0, 0, 0, 0}
                                            : quarvel::win32::FrameFor(window->style, window->exStyle, window->hasMenu);
    *lpRect = RECT{origin.x - frame.left, origin.y - frame.top, origin.x + client.right + frame.right,
                   origin.y + client.bottom + frame.bottom};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    Window* window = AsWindow(hWnd);
    if (!window || !lpPoint) {
        SetLastError(lpPoint ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    POINT origin = quarvel::win32::ClientOrigin(window);
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

}  // extern "C"
