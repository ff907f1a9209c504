// Virtual-key codes for SDL keys, the asynchronous key state, and keys pressed by test input.
#pragma once

#include <windows.h>

#include <SDL2/SDL_keyboard.h>

namespace quarvel::win32 {

struct KeyInfo {
    UINT messageVk;   // what WM_KEYDOWN carries: VK_SHIFT for either shift key, and so on
    UINT specificVk;  // what GetAsyncKeyState also answers to: VK_LSHIFT, VK_RSHIFT, ...
    UINT scanCode;    // PC set-1 make code, bits 16-23 of the key message's lParam
    bool extended;    // bit 24: the key is one of the extended (E0-prefixed) keys
};

// False for keys that have no virtual-key code here.
bool KeyFromSdl(SDL_Scancode scancode, SDL_Keycode keycode, KeyInfo* key);

// Holds or releases a key for GetAsyncKeyState on behalf of injected input, which SDL's
// own keyboard state never sees.
void SetInjectedKey(UINT specificVk, bool down);

// Script names ("escape", "w", "pageup", "lshift", "f5", ...) to SDL scancodes.
bool ScancodeFromName(const char* name, SDL_Scancode* scancode);

}  // namespace quarvel::win32
