#include "hwnd_object.h"

#include <mutex>
#include <unordered_set>

namespace quarvel::core {
namespace {
std::mutex liveMutex;
std::unordered_set<HWND>& LiveWindows() {
    static std::unordered_set<HWND> windows;
    return windows;
}
}  // namespace

bool IsLiveWindow(HWND window) {
    std::lock_guard<std::mutex> lock(liveMutex);
    return window && LiveWindows().count(window) != 0;
}

void RegisterLiveWindow(HWND window) {
    std::lock_guard<std::mutex> lock(liveMutex);
    LiveWindows().insert(window);
}

void UnregisterLiveWindow(HWND window) {
    std::lock_guard<std::mutex> lock(liveMutex);
    LiveWindows().erase(window);
}

SDL_Window* SdlWindowFromHwnd(HWND window) {
    return IsLiveWindow(window) ? window->SdlWindow() : nullptr;
}

}  // namespace quarvel::core

extern "C" LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!quarvel::core::IsLiveWindow(hWnd)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return hWnd->Send(Msg, wParam, lParam);
}
