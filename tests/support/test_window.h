// A hidden overlapped window with exactly the given client area, as start-up makes the
// main window, for tests that need a window handle (device creation, window procedures).
#pragma once

#include <windows.h>

namespace quarvel::test {

// `procedure` answers its messages (DefWindowProcA when null). Null when it cannot be made.
HWND OpenTestWindow(int clientWidth, int clientHeight, WNDPROC procedure = nullptr);

}  // namespace quarvel::test
