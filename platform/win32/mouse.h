// Mouse capture, cursor confinement and visibility.
#pragma once

#include <windows.h>

namespace quarvel::win32 {

// Brings SDL's cursor in line with ShowCursor's counter (the counter may change before
// video has started).
void ApplyCursorVisibility();
// Releases the capture if `window` holds it (a window being destroyed), with WM_CAPTURECHANGED.
void ReleaseCaptureOf(HWND window);
// The live capture window, or null.
HWND CaptureWindow();
// Moves a screen point into the ClipCursor rectangle, when there is one.
POINT ConfineToClip(POINT screen);
// Left/right/middle button state as the translated mouse events left it (MK_* bits).
void SetButtonState(WPARAM mkButtons);
WPARAM ButtonState();
void SetCursorScreenPos(POINT screen);
POINT CursorScreenPos();

}  // namespace quarvel::win32
