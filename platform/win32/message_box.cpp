// MessageBoxA: a real SDL message box where a person can see one; otherwise the caption and
// text go to standard error and the default button is pressed at once.
#include <windows.h>

#include <SDL2/SDL.h>

#include <cstdio>

#include "core/hwnd_object.h"
#include "core/video.h"

namespace {

struct ButtonSet {
    int count;
    SDL_MessageBoxButtonData buttons[3];
};

// Buttons in the order Windows shows them; the first is the default (Enter) one.
ButtonSet ButtonsFor(UINT type) {
    const Uint32 enter = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    const Uint32 escape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return {2, {{enter, IDOK, "OK"}, {escape, IDCANCEL, "Cancel"}}};
        case MB_ABORTRETRYIGNORE:
            return {3, {{enter, IDABORT, "Abort"}, {0, IDRETRY, "Retry"}, {escape, IDIGNORE, "Ignore"}}};
        case MB_YESNOCANCEL: return {3, {{enter, IDYES, "Yes"}, {0, IDNO, "No"}, {escape, IDCANCEL, "Cancel"}}};
        case MB_YESNO: return {2, {{enter, IDYES, "Yes"}, {escape, IDNO, "No"}}};
        case MB_RETRYCANCEL: return {2, {{enter, IDRETRY, "Retry"}, {escape, IDCANCEL, "Cancel"}}};
        default: return {1, {{enter | escape, IDOK, "OK"}}};
    }
}

Uint32 IconFlag(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONERROR: return SDL_MESSAGEBOX_ERROR;
        case MB_ICONWARNING: return SDL_MESSAGEBOX_WARNING;
        default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

}  // namespace

extern "C" int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    const char* text = lpText ? lpText : "";
    const char* caption = lpCaption ? lpCaption : "Error";  // Windows' caption for a null one
    ButtonSet set = ButtonsFor(uType);
    if (quarvel::core::InitVideo() && !quarvel::core::IsHeadless()) {
        SDL_MessageBoxData box{};
        box.flags = IconFlag(uType);
        box.window = quarvel::core::SdlWindowFromHwnd(hWnd);
        box.title = caption;
        box.message = text;
        box.numbuttons = set.count;
        box.buttons = set.buttons;
        int pressed = 0;
        // Closing the box without a button counts as its last (Escape) button.
        if (SDL_ShowMessageBox(&box, &pressed) == 0) return pressed > 0 ? pressed : set.buttons[set.count - 1].buttonid;
        std::fprintf(stderr, "win32: MessageBoxA: no message box: %s\n", SDL_GetError());
    }
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    return set.buttons[0].buttonid;
}
