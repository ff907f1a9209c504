#include "input_script.h"

#include <SDL2/SDL.h>
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "clock.h"
#include "keyboard.h"
#include "message_queue.h"
#include "trace.h"
#include "window.h"

namespace quarvel::win32 {
namespace {

struct Script {
    bool parsed = false;
    std::vector<ScriptStep> steps;
    std::vector<bool> done;
    bool pumpStarted = false, windowCreated = false;
    uint64_t pumpMs = 0, windowMs = 0;
    // The flood under way: the clock time its last message is due by, and how many came.
    bool flooding = false;
    uint64_t floodEndMs = 0, floodMessages = 0;
};
Script script;

bool ParseMs(const std::string& text, uint64_t* ms) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    char* end = nullptr;
    *ms = std::strtoull(text.c_str(), &end, 10);
    return *end == '\0';
}

bool ParseStep(const std::string& entry, ScriptStep* step) {
    size_t first = entry.find(':');
    if (first == std::string::npos || first == 0) return false;
    std::string time = entry.substr(0, first);
    static const std::string kWindowAnchor = "window+";
    step->anchor = ScriptStep::kFirstPump;
    if (strncasecmp(time.c_str(), kWindowAnchor.c_str(), kWindowAnchor.size()) == 0) {
        step->anchor = ScriptStep::kWindowCreated;
        time.erase(0, kWindowAnchor.size());
    }
    if (!ParseMs(time, &step->atMs)) return false;
    std::string rest = entry.substr(first + 1);
    size_t second = rest.find(':');
    std::string action = rest.substr(0, second);
    std::string argument = second == std::string::npos ? "" : rest.substr(second + 1);
    step->scancode = SDL_SCANCODE_UNKNOWN;
    step->durationMs = 0;
    if (strcasecmp(action.c_str(), "close") == 0) {
        step->kind = ScriptStep::kClose;
        return second == std::string::npos;
    }
    if (strcasecmp(action.c_str(), "flood") == 0) {
        step->kind = ScriptStep::kFlood;
        return ParseMs(argument, &step->durationMs) && step->durationMs > 0;
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

namespace {

void ParseOnce() {
    if (script.parsed) return;
    script.parsed = true;
    const char* text = std::getenv("QUARVEL_INPUT_SCRIPT");
    if (!text || !text[0]) return;
    std::vector<std::string> rejected;
    script.steps = ParseInputScript(text, &rejected);
    script.done.assign(script.steps.size(), false);
    for (const std::string& entry : rejected)
        std::fprintf(stderr, "win32: QUARVEL_INPUT_SCRIPT: cannot read \"%s\"; skipped\n", entry.c_str());
}

void Perform(const ScriptStep& step, uint64_t dueMs) {
    switch (step.kind) {
        case ScriptStep::kKeyDown: InjectKey(step.scancode, true); break;
        case ScriptStep::kKeyUp: InjectKey(step.scancode, false); break;
        case ScriptStep::kClose:
            if (Window* target = Target()) InjectClose(target);
            break;
        case ScriptStep::kFlood:
            // A second flood while one lasts extends it.
            script.floodEndMs = std::max(script.flooding ? script.floodEndMs : 0, dueMs + step.durationMs);
            script.flooding = true;
            break;
    }
}

// Steps whose anchor has started and whose time has come, in time order within an anchor.
void RunDueSteps(bool windowAnchorOnly) {
    const uint64_t now = ClockNowMs();
    for (size_t i = 0; i < script.steps.size(); ++i) {
        const ScriptStep& step = script.steps[i];
        if (script.done[i]) continue;
        const bool fromWindow = step.anchor == ScriptStep::kWindowCreated;
        if (windowAnchorOnly && !fromWindow) continue;
        if (fromWindow ? !script.windowCreated : !script.pumpStarted) continue;
        const uint64_t dueMs = (fromWindow ? script.windowMs : script.pumpMs) + step.atMs;
        if (dueMs > now) continue;
        script.done[i] = true;
        Perform(step, dueMs);
    }
}

// One message of the flood per pump, each a millisecond after the last: waiting for it is
// time the program spends in the pump, not drawing.
void FloodOnce() {
    if (!script.flooding) return;
    Window* target = Target();
    if (!target || ClockNowMs() >= script.floodEndMs) {
        script.flooding = false;
        Trace("input script: flood over after %llu messages", static_cast<unsigned long long>(script.floodMessages));
        script.floodMessages = 0;
        return;
    }
    ClockSleepMs(1);
    // Alternate positions, so no two are alike for anyone who looks.
    const LPARAM at = (script.floodMessages & 1) ? MAKELPARAM(11, 7) : MAKELPARAM(10, 7);
    PostToQueue(target, WM_MOUSEMOVE, 0, at);
    ++script.floodMessages;
}

}  // namespace

void NoteWindowCreated() {
    if (script.windowCreated) return;
    script.windowCreated = true;
    script.windowMs = ClockNowMs();
}

void RunInputScript() {
    ParseOnce();
    if (!script.pumpStarted) {
        script.pumpStarted = true;
        script.pumpMs = ClockNowMs();
        Trace("first message pump");
    }
    RunDueSteps(false);
    FloodOnce();
}

void RunInputScriptAfterSleep() {
    ParseOnce();
    RunDueSteps(true);
}

}  // namespace quarvel::win32
