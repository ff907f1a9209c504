#include "test_window.h"

#include <cstdint>
#include <string>

namespace quarvel::test {

HWND OpenTestWindow(int clientWidth, int clientHeight, WNDPROC procedure) {
    if (!procedure) procedure = DefWindowProcA;
    // A class per procedure; registering one again fails harmlessly.
    const std::string name = "QuarvelTest" + std::to_string(reinterpret_cast<uintptr_t>(procedure));
    const WNDCLASSEXA windowClass = {
        sizeof(WNDCLASSEXA), 0,      procedure, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr,
        name.c_str(),        nullptr};
    RegisterClassExA(&windowClass);
    RECT rect = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowExA(0, name.c_str(), "test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

}  // namespace quarvel::test
