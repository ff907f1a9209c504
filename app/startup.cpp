#include "app/startup.h"

#include <d3d11.h>
#include <string.h>

#include "app/main_window.h"
#include "app/scene_resources.h"
#include "app/setup_dialog.h"
#include "app/window_proc.h"
#include "gfx/graphics_context.h"
#include "gfx/shader_program.h"

static const char kWindowClass[] = "D3D11Class";
static const char kWindowTitle[] = "Quarvel - Brisvane (Ketra)";

bool RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

// A windowed window gets the frame around a client area of exactly the chosen size; full
// screen hides the cursor before the window exists.
HWND CreateMainWindow(HINSTANCE instance) {
    RECT rect = {0, 0, displaySettings.width, displaySettings.height};
    DWORD style;
    if (displaySettings.windowed) {
        AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
        style = WS_OVERLAPPEDWINDOW;
    } else {
        ShowCursor(FALSE);
        style = WS_POPUP;
    }
    return CreateWindowExA(0, kWindowClass, kWindowTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                           rect.right - rect.left, rect.bottom - rect.top, NULL, NULL, instance, NULL);
}

void CreateSeaProgram() {
    seaProgram = CreateShaderProgram("Shaders/FractalCloud.hlsl", "FractalCloudPS", "VS", screenLayout, 2, 16);
}
