#include "input_script.h"

#include <SDL2/SDL.h>
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "clock.h"
#include "keyboard.h"
#include "log_once.h"
#include "window.h"

namespace quarvel::platform {
namespace {

std::vector<ScriptStep> steps;
size_t nextStep = 0;
bool started = false;
uint64_t startMs = 0;

bool ParseStep(const std::string& entry, ScriptStep* step) {
    size_t first = entry.find(':');
    if (first == std::string::npos || first == 0) return false;
    char* end = nullptr;
    std::string time = entry.substr(0, first);
    unsigned long long at = std::strtoull(time.c_str(), &end, 10);
    if (*end || time[0] == '-') return false;
    std::string rest = entry.substr(first + 1);
    size_t second = rest.find(':');
    std::string action = rest.substr(0, second);
    std::string argument = second == std::string::npos ? "" : rest.substr(second + 1);
    step->atMs = at;
    step->scancode = SDL_SCANCODE_UNKNOWN;
    if (strcasecmp(action.c_str(), "close") == 0) {
        step->kind = ScriptStep::kClose;
        return second == std::string::npos;
    }
    if (strcasecmp(action.c_str(), "keydown") == 0)
        step->kind = ScriptStep::kKeyDown;
    else if (strcasecmp(action.c_str(), "keyup") == 0)
        step->kind = ScriptStep::kKeyUp;
    else
        return false;
    return ScancodeFromName(argument.c_str(), &step->scancode);
}

Window* Target() {
    Window* active = AsWindow(ActiveWindow());
    return active ? active : NewestWindow();
}

Uint16 InjectedModifiers() {
    Uint16 mod = KMOD_NONE;
    if (GetAsyncKeyState(VK_LSHIFT) < 0) mod |= KMOD_LSHIFT;
    if (GetAsyncKeyState(VK_RSHIFT) < 0) mod |= KMOD_RSHIFT;
    if (GetAsyncKeyState(VK_LCONTROL) < 0) mod |= KMOD_LCTRL;
    if (GetAsyncKeyState(VK_RCONTROL) < 0) mod |= KMOD_RCTRL;
    if (GetAsyncKeyState(VK_LMENU) < 0) mod |= KMOD_LALT;
    if (GetAsyncKeyState(VK_RMENU) < 0) mod |= KMOD_RALT;
    return mod;
}

}  // namespace

std::vector<ScriptStep> ParseInputScript(const std::string& text, std::vector<std::string>* rejected) {
    std::vector<ScriptStep> parsed;
    size_t start = 0;
    while (start < text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        std::string entry = text.substr(start, comma - start);
        entry.erase(0, entry.find_first_not_of(" \t"));
        entry.erase(entry.find_last_not_of(" \t") + 1);
        ScriptStep step{};
        if (ParseStep(entry, &step))
            parsed.push_back(step);
        else if (rejected && !entry.empty())
            rejected->push_back(entry);
        start = comma + 1;
    }
    std::stable_sort(parsed.begin(), parsed.end(),
                     [](const ScriptStep& a, const ScriptStep& b) { return a.atMs < b.atMs; });
    return parsed;
}

void InjectKey(SDL_Scancode scancode, bool down) {
    KeyInfo key{};
    SDL_Keycode keycode = SDL_GetKeyFromScancode(scancode);
    if (!KeyFromSdl(scancode, keycode, &key)) return;
    SetInjectedKey(key.specificVk, down);
    Window* target = Target();
    if (!target || !SDL_WasInit(SDL_INIT_EVENTS)) return;  // the key state is all there is to change
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.timestamp = SDL_GetTicks();
    event.key.windowID = SDL_GetWindowID(target->sdl);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = keycode;
    event.key.keysym.mod = InjectedModifiers();
    SDL_PushEvent(&event);
}

void InjectClose(HWND handle) {
    Window* window = AsWindow(handle);
    if (!window || !SDL_WasInit(SDL_INIT_EVENTS)) return;
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.timestamp = SDL_GetTicks();
    event.window.windowID = SDL_GetWindowID(window->sdl);
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&event);
}

void RunInputScript() {
    if (!started) {
        started = true;
        startMs = ClockNowMs();
        Trace("first message pump");
        const char* text = std::getenv("QUARVEL_INPUT_SCRIPT");
        if (text && text[0]) {
            std::vector<std::string> rejected;
            steps = ParseInputScript(text, &rejected);
            for (const std::string& entry : rejected)
                std::fprintf(stderr, "win32: QUARVEL_INPUT_SCRIPT: cannot read \"%s\"; skipped\n", entry.c_str());
        }
    }
    const uint64_t now = ClockNowMs() - startMs;
    while (nextStep < steps.size() && steps[nextStep].atMs <= now) {
        const ScriptStep& step = steps[nextStep++];
        switch (step.kind) {
            case ScriptStep::kKeyDown: InjectKey(step.scancode, true); break;
            case ScriptStep::kKeyUp: InjectKey(step.scancode, false); break;
            case ScriptStep::kClose:
                if (Window* target = Target()) InjectClose(target);
                break;
        }
    }
}

}  // namespace quarvel::platform
