#include "app/window_proc.h"

#include "app/debug_camera.h"

bool windowActive = false;

// Confines the cursor to the client area for the drag; the bottom-right corner is taken one
// pixel further so the last column and row stay reachable.
static void ConfineCursorToClient(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    POINT topLeft = {client.left, client.top};
    POINT bottomRight = {client.right + 1, client.bottom + 1};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    RECT clip = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    ClipCursor(&clip);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DebugCamera& c = debugCamera;
    switch (message) {
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
        // Codes other than inactive, active and click-active (a minimised activation, say)
        // leave the state as it was.
        if (wParam == 0)
            windowActive = false;
        else if (wParam == 1 || wParam == 2)
            windowActive = true;
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) PostQuitMessage(0);
        return 0;
    case WM_LBUTTONDOWN:
        if (!c.dragging) {
            SetCapture(window);
            ConfineCursorToClient(window);
            c.dragStartX = (float)LOWORD(lParam);
            c.dragStartY = (float)HIWORD(lParam);
            c.yawAtDragStart = c.yawInput;
            c.pitchAtDragStart = c.pitchInput;
        }
        c.dragging = true;
        return 0;
    case WM_MOUSEMOVE:
        if (c.dragging) {
            c.dragDeltaX = c.dragStartX - (float)LOWORD(lParam);
            c.dragDeltaY = c.dragStartY - (float)HIWORD(lParam);
            c.yawInput = c.yawAtDragStart - c.dragDeltaX;
            c.pitchInput = c.pitchAtDragStart - c.dragDeltaY;
        }
        return 0;
    case WM_LBUTTONUP:
        if (c.dragging) {
            c.yawInput = c.yawAtDragStart - c.dragDeltaX;
            c.pitchInput = c.pitchAtDragStart - c.dragDeltaY;
            ClipCursor(NULL);
            ReleaseCapture();
        }
        c.dragging = false;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
