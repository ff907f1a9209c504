// The thread's message queue, shared by PostMessageA and the SDL event translation.
#pragma once

#include <windows.h>

namespace quarvel::win32 {

// Queues a message as PostMessageA does; a mouse move right behind another mouse move for
// the same window replaces it, as Windows coalesces them.
void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Drops every queued message for a window that is being destroyed.
void PurgeMessages(HWND window);

}  // namespace quarvel::win32
