#include "bench_window.h"

#include <stdio.h>
#include <unistd.h>

#include "app/main_window.h"
#include "gfx/graphics_context.h"

namespace {

LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool OpenBenchGraphics(int width, int height) {
    if (chdir(QUARVEL_RUN_DIR) != 0) fprintf(stderr, "cannot enter %s\n", QUARVEL_RUN_DIR);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = BenchWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "QuarvelDrawBench";
    RegisterClassExA(&windowClass);
    RECT rect = {0, 0, width, height};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    mainWindow = CreateWindowExA(0, "QuarvelDrawBench", "draw bench", WS_OVERLAPPEDWINDOW, 0, 0,
                                 rect.right - rect.left, rect.bottom - rect.top, NULL, NULL, GetModuleHandleA(NULL),
                                 NULL);
    return mainWindow && InitGraphics(true);
}

void CloseBenchGraphics() {
    ReleaseGraphics();
    if (mainWindow) DestroyWindow(mainWindow);
    mainWindow = NULL;
}
