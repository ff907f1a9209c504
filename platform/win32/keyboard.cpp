#include "keyboard.h"

#include <SDL2/SDL.h>
#include <strings.h>

#include "mouse.h"

namespace quarvel::win32 {
namespace {

struct KeyEntry {
    SDL_Scancode scancode;
    UINT messageVk;
    UINT specificVk;
    UINT scanCode;
    bool extended;
    const char* name;
};

const KeyEntry kKeys[] = {
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, VK_ESCAPE, 0x01, false, "escape"},
    {SDL_SCANCODE_RETURN, VK_RETURN, VK_RETURN, 0x1C, false, "return"},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, VK_RETURN, 0x1C, true, "enter"},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, VK_BACK, 0x0E, false, "backspace"},
    {SDL_SCANCODE_TAB, VK_TAB, VK_TAB, 0x0F, false, "tab"},
    {SDL_SCANCODE_SPACE, VK_SPACE, VK_SPACE, 0x39, false, "space"},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT, VK_LSHIFT, 0x2A, false, "lshift"},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT, VK_RSHIFT, 0x36, false, "rshift"},
    {SDL_SCANCODE_LCTRL, VK_CONTROL, VK_LCONTROL, 0x1D, false, "lctrl"},
    {SDL_SCANCODE_RCTRL, VK_CONTROL, VK_RCONTROL, 0x1D, true, "rctrl"},
    {SDL_SCANCODE_LALT, VK_MENU, VK_LMENU, 0x38, false, "lalt"},
    {SDL_SCANCODE_RALT, VK_MENU, VK_RMENU, 0x38, true, "ralt"},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, VK_CAPITAL, 0x3A, false, "capslock"},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, VK_PAUSE, 0x45, false, "pause"},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, VK_PRIOR, 0x49, true, "pageup"},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, VK_NEXT, 0x51, true, "pagedown"},
    {SDL_SCANCODE_HOME, VK_HOME, VK_HOME, 0x47, true, "home"},
    {SDL_SCANCODE_END, VK_END, VK_END, 0x4F, true, "end"},
    {SDL_SCANCODE_INSERT, VK_INSERT, VK_INSERT, 0x52, true, "insert"},
    {SDL_SCANCODE_DELETE, VK_DELETE, VK_DELETE, 0x53, true, "delete"},
    {SDL_SCANCODE_LEFT, VK_LEFT, VK_LEFT, 0x4B, true, "left"},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, VK_RIGHT, 0x4D, true, "right"},
    {SDL_SCANCODE_UP, VK_UP, VK_UP, 0x48, true, "up"},
    {SDL_SCANCODE_DOWN, VK_DOWN, VK_DOWN, 0x50, true, "down"},
    {SDL_SCANCODE_F1, VK_F1, VK_F1, 0x3B, false, "f1"},
    {SDL_SCANCODE_F2, VK_F2, VK_F2, 0x3C, false, "f2"},
    {SDL_SCANCODE_F3, VK_F3, VK_F3, 0x3D, false, "f3"},
    {SDL_SCANCODE_F4, VK_F4, VK_F4, 0x3E, false, "f4"},
    {SDL_SCANCODE_F5, VK_F5, VK_F5, 0x3F, false, "f5"},
    {SDL_SCANCODE_F6, VK_F6, VK_F6, 0x40, false, "f6"},
    {SDL_SCANCODE_F7, VK_F7, VK_F7, 0x41, false, "f7"},
    {SDL_SCANCODE_F8, VK_F8, VK_F8, 0x42, false, "f8"},
    {SDL_SCANCODE_F9, VK_F9, VK_F9, 0x43, false, "f9"},
    {SDL_SCANCODE_F10, VK_F10, VK_F10, 0x44, false, "f10"},
    {SDL_SCANCODE_F11, VK_F11, VK_F11, 0x57, false, "f11"},
    {SDL_SCANCODE_F12, VK_F12, VK_F12, 0x58, false, "f12"},
};

// Set-1 make codes of the letter keys A to Z and of the digit row 1 to 9, 0.
const UINT kLetterScanCodes[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                   0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

bool injected[256];

bool IsLetterScancode(SDL_Scancode s) { return s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z; }
bool IsDigitScancode(SDL_Scancode s) { return s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_0; }

// Letters and digits take their code from the layout, as Windows does; the physical key
// gives the scan code.
UINT LayoutVk(SDL_Keycode keycode) {
    if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + static_cast<UINT>(keycode - SDLK_a);
    if (keycode >= SDLK_0 && keycode <= SDLK_9) return '0' + static_cast<UINT>(keycode - SDLK_0);
    return 0;
}

bool HeldBySdl(UINT vk) {
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    if (!state) return false;
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) {
        SDL_Keycode keycode = vk >= 'A' ? static_cast<SDL_Keycode>(SDLK_a + (vk - 'A'))
                                        : static_cast<SDL_Keycode>(SDLK_0 + (vk - '0'));
        SDL_Scancode scancode = SDL_GetScancodeFromKey(keycode);
        return scancode > 0 && scancode < count && state[scancode];
    }
    for (const KeyEntry& key : kKeys)
        if ((key.messageVk == vk || key.specificVk == vk) && key.scancode < count && state[key.scancode]) return true;
    return false;
}

bool HeldByInjection(UINT vk) {
    switch (vk) {
        case VK_SHIFT: return injected[VK_LSHIFT] || injected[VK_RSHIFT];
        case VK_CONTROL: return injected[VK_LCONTROL] || injected[VK_RCONTROL];
        case VK_MENU: return injected[VK_LMENU] || injected[VK_RMENU];
        default: return injected[vk];
    }
}

}  // namespace

bool KeyFromSdl(SDL_Scancode scancode, SDL_Keycode keycode, KeyInfo* key) {
    if (IsLetterScancode(scancode) || IsDigitScancode(scancode)) {
        UINT vk = LayoutVk(keycode);
        if (!vk) {
            vk = IsLetterScancode(scancode) ? 'A' + static_cast<UINT>(scancode - SDL_SCANCODE_A)
                                            : (scancode == SDL_SCANCODE_0 ? '0' : '1' + static_cast<UINT>(scancode - SDL_SCANCODE_1));
        }
        UINT scan = IsLetterScancode(scancode) ? kLetterScanCodes[scancode - SDL_SCANCODE_A]
                                               : 0x02 + static_cast<UINT>(scancode - SDL_SCANCODE_1);
        *key = KeyInfo{vk, vk, scan, false};
        return true;
    }
    for (const KeyEntry& entry : kKeys) {
        if (entry.scancode == scancode) {
            *key = KeyInfo{entry.messageVk, entry.specificVk, entry.scanCode, entry.extended};
            return true;
        }
    }
    return false;
}

void SetInjectedKey(UINT specificVk, bool down) {
    if (specificVk < 256) injected[specificVk] = down;
}

bool ScancodeFromName(const char* name, SDL_Scancode* scancode) {
    if (!name || !name[0]) return false;
    if (!name[1]) {
        char c = name[0];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c >= 'a' && c <= 'z') {
            *scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_A + (c - 'a'));
            return true;
        }
        if (c >= '1' && c <= '9') {
            *scancode = static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (c - '1'));
            return true;
        }
        if (c == '0') {
            *scancode = SDL_SCANCODE_0;
            return true;
        }
        return false;
    }
    for (const KeyEntry& entry : kKeys) {
        if (strcasecmp(entry.name, name) == 0) {
            *scancode = entry.scancode;
            return true;
        }
    }
    return false;
}

}  // namespace quarvel::win32

extern "C" SHORT WINAPI GetAsyncKeyState(int vKey) {
    using namespace quarvel::win32;
    if (vKey <= 0 || vKey > 255) return 0;
    const UINT vk = static_cast<UINT>(vKey);
    bool down;
    if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON) {
        Uint32 sdlButtons = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetMouseState(nullptr, nullptr) : 0;
        WPARAM tracked = ButtonState();
        if (vk == VK_LBUTTON) down = (sdlButtons & SDL_BUTTON_LMASK) || (tracked & MK_LBUTTON);
        else if (vk == VK_RBUTTON) down = (sdlButtons & SDL_BUTTON_RMASK) || (tracked & MK_RBUTTON);
        else down = (sdlButtons & SDL_BUTTON_MMASK) || (tracked & MK_MBUTTON);
    } else {
        down = HeldByInjection(vk) || HeldBySdl(vk);
    }
    return down ? static_cast<SHORT>(0x8000) : 0;
}
