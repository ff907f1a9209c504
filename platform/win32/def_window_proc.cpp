// What Windows does with the messages a window procedure leaves to it.
#include <windows.h>

#include "window.h"

extern "C" LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!quarvel::core::IsLiveWindow(hWnd)) return 0;
    switch (Msg) {
        case WM_NCCREATE: return TRUE;  // FALSE would abandon the window's creation
        case WM_CLOSE: DestroyWindow(hWnd); return 0;
        case WM_SYSKEYDOWN:
            // Alt+F4 closes the window, as the system menu's Close would.
            if (wParam == VK_F4 && (lParam & (1 << 29))) SendMessageA(hWnd, WM_CLOSE, 0, 0);
            return 0;
        default: return 0;
    }
}
