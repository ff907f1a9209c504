#include "sdl_events.h"

#include <SDL2/SDL.h>

#include <thread>

#include "input_script.h"
#include "keyboard.h"
#include "message_queue.h"
#include "mouse.h"
#include "window.h"

namespace quarvel::win32 {
namespace {

constexpr LPARAM kExtendedBit = 1 << 24;
constexpr LPARAM kContextBit = 1 << 29;   // Alt was down
constexpr LPARAM kPreviousBit = 1 << 30;  // the key was down before this message
constexpr LPARAM kTransitionBit = static_cast<LPARAM>(1u << 31);  // the key is being released

void TranslateKey(const SDL_KeyboardEvent& event) {
    Window* window = WindowFromSdlId(event.windowID);
    if (!window) return;  // keys for windows of other modules, or none at all
    KeyInfo key{};
    if (!KeyFromSdl(event.keysym.scancode, event.keysym.sym, &key)) return;
    const bool down = event.type == SDL_KEYDOWN;
    const bool alt = (event.keysym.mod & KMOD_ALT) != 0;
    // Alt and F10 make system keys, as menus would want them.
    const bool system = alt || key.messageVk == VK_MENU || key.messageVk == VK_F10;
    LPARAM lParam = 1 | static_cast<LPARAM>(key.scanCode) << 16;
    if (key.extended) lParam |= kExtendedBit;
    if (alt) lParam |= kContextBit;
    if (!down)
        lParam |= kPreviousBit | kTransitionBit;
    else if (event.repeat)
        lParam |= kPreviousBit;
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    // The lParam keeps 32 bits as on Windows: the transition bit is the top bit of a DWORD.
    PostToQueue(window, message, key.messageVk, static_cast<LPARAM>(static_cast<DWORD>(lParam)));
}

WPARAM MouseKeys() {
    WPARAM keys = ButtonState();
    if (GetAsyncKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
    if (GetAsyncKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
    return keys;
}

// Mouse messages go to the capture window if there is one, else to the window under the
// cursor, in that window's client coordinates, after ClipCursor's confinement.
void TranslateMouse(Uint32 windowId, int x, int y, UINT message, WPARAM changedButton, bool pressed) {
    Window* under = WindowFromSdlId(windowId);
    Window* target = AsWindow(CaptureWindow());
    if (!target) target = under;
    if (!target) return;
    POINT screen{x, y};
    if (under) {
        POINT origin = ClientOrigin(under);
        screen.x += origin.x;
        screen.y += origin.y;
    }
    screen = ConfineToClip(screen);
    SetCursorScreenPos(screen);
    if (changedButton) SetButtonState(pressed ? (ButtonState() | changedButton) : (ButtonState() & ~changedButton));
    if (!message) return;
    POINT origin = ClientOrigin(target);
    const LONG clientX = screen.x - origin.x;
    const LONG clientY = screen.y - origin.y;
    PostToQueue(target, message, MouseKeys(), MAKELPARAM(clientX, clientY));
}

void TranslateButton(const SDL_MouseButtonEvent& event) {
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    switch (event.button) {
        case SDL_BUTTON_LEFT:
            TranslateMouse(event.windowID, event.x, event.y, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, MK_LBUTTON, down);
            break;
        case SDL_BUTTON_RIGHT:
            TranslateMouse(event.windowID, event.x, event.y, down ? WM_RBUTTONDOWN : WM_RBUTTONUP, MK_RBUTTON, down);
            break;
        case SDL_BUTTON_MIDDLE: TranslateMouse(event.windowID, event.x, event.y, 0, MK_MBUTTON, down); break;
        default: break;
    }
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    Window* window = WindowFromSdlId(event.windowID);
    if (!window) return;
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE: PostToQueue(window, WM_CLOSE, 0, 0); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: ActivateWindow(window, WA_ACTIVE); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: DeactivateWindow(window); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            window->Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(event.data1, event.data2));
            break;
        case SDL_WINDOWEVENT_MINIMIZED: window->Send(WM_SIZE, SIZE_MINIMIZED, 0); break;
        case SDL_WINDOWEVENT_MOVED: window->Send(WM_MOVE, 0, MAKELPARAM(event.data1, event.data2)); break;
        default: break;
    }
}

void Translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT: TranslateWindowEvent(event.window); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: TranslateKey(event.key); break;
        case SDL_MOUSEMOTION:
            TranslateMouse(event.motion.windowID, event.motion.x, event.motion.y, WM_MOUSEMOVE, 0, false);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: TranslateButton(event.button); break;
        case SDL_QUIT:
            // An interrupt or the session ending: every window is asked to close.
            for (Window* window : TopLevelWindows()) PostToQueue(window, WM_CLOSE, 0, 0);
            break;
        default: break;
    }
}

// SDL's events belong to the thread that started video; other threads only read the queue.
bool OnEventThread() {
    static const std::thread::id first = std::this_thread::get_id();
    return std::this_thread::get_id() == first;
}

}  // namespace

void PumpEvents() {
    RunInputScript();
    if (!SDL_WasInit(SDL_INIT_EVENTS) || !OnEventThread()) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) Translate(event);
}

void WaitForEvent(int timeoutMs) {
    if (!SDL_WasInit(SDL_INIT_EVENTS) || !OnEventThread()) {
        SDL_Delay(static_cast<Uint32>(timeoutMs));
        return;
    }
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, timeoutMs)) Translate(event);
}

}  // namespace quarvel::win32
