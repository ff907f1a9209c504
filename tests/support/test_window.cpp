#include "test_window.h"

#include <cstdint>
#include <string>

namespace quarvel::test {

HWND OpenTestWindow(int clientWidth, int clientHeight, WNDPROC procedure) {
    if (!procedure) procedure = DefWindowProcA;
    // A class per procedure; registering one again fails harmlessly.
    const std::string name = "QuarvelTest" + std::to_string(reinterpret_cast<uintptr_t>(procedure));
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name.c_str();
    RegisterClassExA(&windowClass);
    RECT rect = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExA(0, name.c_str(), "test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    return window;
}

}  // namespace quarvel::test
