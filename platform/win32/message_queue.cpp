// The message queue: posted messages in order, then WM_QUIT once PostQuitMessage has been
// called and nothing posted before it remains, as on Windows.
#include "message_queue.h"

#include <deque>
#include <mutex>

#include "clock.h"
#include "core/hwnd_object.h"
#include "core/log_once.h"
#include "mouse.h"
#include "sdl_events.h"

namespace quarvel::win32 {
namespace {

std::mutex queueMutex;
std::deque<MSG>& Queue() {
    static std::deque<MSG> queue;
    return queue;
}
bool quitPosted = false;
int quitCode = 0;

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(ClockNowMs());
    msg.pt = CursorScreenPos();
    return msg;
}

bool InRange(UINT message, UINT low, UINT high) {
    return (low == 0 && high == 0) || (message >= low && message <= high);
}

bool Matches(const MSG& msg, HWND filter, UINT low, UINT high) {
    if (filter == reinterpret_cast<HWND>(-1)) {
        if (msg.hwnd) return false;  // thread messages only
    } else if (filter && msg.hwnd != filter) {
        return false;
    }
    return InRange(msg.message, low, high);
}

// Takes (or copies) the first matching message. Messages whose window has gone since they
// were posted are dropped on the way.
bool Retrieve(MSG* out, HWND filter, UINT low, UINT high, bool remove) {
    std::lock_guard<std::mutex> lock(queueMutex);
    std::deque<MSG>& queue = Queue();
    for (auto it = queue.begin(); it != queue.end();) {
        if (it->hwnd && !core::IsLiveWindow(it->hwnd)) {
            it = queue.erase(it);
            continue;
        }
        if (Matches(*it, filter, low, high)) {
            *out = *it;
            if (remove) queue.erase(it);
            return true;
        }
        ++it;
    }
    // WM_QUIT belongs to no window: only the message range can hold it back.
    if (quitPosted && InRange(WM_QUIT, low, high)) {
        *out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0);
        if (remove) quitPosted = false;
        return true;
    }
    return false;
}

bool ValidFilter(HWND filter) { return !filter || filter == reinterpret_cast<HWND>(-1) || core::IsLiveWindow(filter); }

}  // namespace

void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg = MakeMessage(window, message, wParam, lParam);
    std::lock_guard<std::mutex> lock(queueMutex);
    std::deque<MSG>& queue = Queue();
    if (message == WM_MOUSEMOVE && !queue.empty() && queue.back().message == WM_MOUSEMOVE &&
        queue.back().hwnd == window) {
        queue.back() = msg;
        return;
    }
    queue.push_back(msg);
}

void PurgeMessages(HWND window) {
    std::lock_guard<std::mutex> lock(queueMutex);
    std::deque<MSG>& queue = Queue();
    for (auto it = queue.begin(); it != queue.end();) it = it->hwnd == window ? queue.erase(it) : it + 1;
}

}  // namespace quarvel::win32

using namespace quarvel::win32;

extern "C" {

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd == reinterpret_cast<HWND>(static_cast<uintptr_t>(0xffff))) {
        quarvel::core::LogOnce("win32", "PostMessageA", "not supported: HWND_BROADCAST");
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (hWnd && !quarvel::core::IsLiveWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    PostToQueue(hWnd, Msg, wParam, lParam);  // a null window makes a thread message
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    std::lock_guard<std::mutex> lock(queueMutex);
    quitPosted = true;
    quitCode = nExitCode;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!ValidFilter(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    PumpEvents();
    return Retrieve(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (!lpMsg || !ValidFilter(hWnd)) {
        SetLastError(lpMsg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return -1;
    }
    for (;;) {
        PumpEvents();
        if (Retrieve(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) return lpMsg->message == WM_QUIT ? FALSE : TRUE;
        if (hWnd && hWnd != reinterpret_cast<HWND>(-1) && !quarvel::core::IsLiveWindow(hWnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;  // the window went away while we waited
        }
        // Short waits, so messages posted by other threads and due test input still get
        // through while no SDL event arrives.
        WaitForEvent(10);
    }
}

// Key presses that make characters post them as WM_CHAR, right behind the key message.
BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg) return FALSE;
    const UINT message = lpMsg->message;
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP)
        return FALSE;
    if (message != WM_KEYDOWN) return TRUE;
    const WPARAM vk = lpMsg->wParam;
    const bool shift = GetAsyncKeyState(VK_SHIFT) < 0;
    WPARAM character = 0;
    if (vk >= 'A' && vk <= 'Z')
        character = shift ? vk : vk - 'A' + 'a';
    else if (vk >= '0' && vk <= '9' && !shift)
        character = vk;
    else if (vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK || vk == VK_TAB)
        character = vk;
    if (!character) return TRUE;
    MSG msg = MakeMessage(lpMsg->hwnd, WM_CHAR, character, lpMsg->lParam);
    std::lock_guard<std::mutex> lock(queueMutex);
    Queue().push_front(msg);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg || !lpMsg->hwnd) return 0;  // thread messages have no procedure to go to
    if (!quarvel::core::IsLiveWindow(lpMsg->hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return lpMsg->hwnd->Send(lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

}  // extern "C"
