#include "test_window.h"

#include <map>

namespace {

// Each window reports to the recorder given as its creation data.
std::map<HWND, Recorder*>& Recorders() {
    static std::map<HWND, Recorder*> recorders;
    return recorders;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        Recorders()[window] = static_cast<Recorder*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    auto found = Recorders().find(window);
    if (found == Recorders().end()) return DefWindowProcA(window, message, wParam, lParam);
    Recorder* recorder = found->second;
    recorder->messages.push_back({message, wParam, lParam});
    switch (message) {
        case WM_NCCREATE: recorder->seenCreate = *reinterpret_cast<CREATESTRUCTA*>(lParam); break;
        case WM_DESTROY: PostQuitMessage(recorder->quitCodeOnDestroy); return 0;
        case WM_NCDESTROY: Recorders().erase(window); return 0;
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND CreateTestWindow(DWORD style, int width, int height, Recorder* recorder) {
    static const bool registered = [] {
        const WNDCLASSEXA windowClass = {
            sizeof(WNDCLASSEXA), 0,      RecordingProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
            "RecordingClass",    nullptr};
        return RegisterClassExA(&windowClass) != 0;
    }();
    if (!registered) return nullptr;
    return CreateWindowExA(0, "RecordingClass", "test window", style, CW_USEDEFAULT, CW_USEDEFAULT, width, height,
                           nullptr, nullptr, GetModuleHandleA(nullptr), recorder);
}

std::vector<MSG> DrainMessages() {
    std::vector<MSG> seen;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        seen.push_back(msg);
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return seen;
}
