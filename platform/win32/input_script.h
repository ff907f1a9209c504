// Input for runs without a person: QUARVEL_INPUT_SCRIPT="1500:keydown:escape,2000:close"
// presses keys and closes the window at the given milliseconds of GetTickCount's clock after
// the first message pump. Everything is injected as SDL events, so it takes the same path
// as a real key press or close request.
#pragma once

#include <windows.h>

#include <SDL2/SDL_scancode.h>

#include <string>
#include <vector>

namespace quarvel::platform {

struct ScriptStep {
    uint64_t atMs;
    enum Kind { kKeyDown, kKeyUp, kClose } kind;
    SDL_Scancode scancode;
};

// Parses a script; malformed entries are skipped and named in `rejected`. Steps come back
// in time order (entries with the same time keep their order).
std::vector<ScriptStep> ParseInputScript(const std::string& text, std::vector<std::string>* rejected);

// Called by every message pump: starts the script's clock on the first call, then injects
// the steps that are due.
void RunInputScript();

// Presses or releases a key in the active window (or the newest one): GetAsyncKeyState
// reports it at once, and the key message follows through the queue.
void InjectKey(SDL_Scancode scancode, bool down);
// Asks a window to close, as its close box would.
void InjectClose(HWND window);

}  // namespace quarvel::platform
