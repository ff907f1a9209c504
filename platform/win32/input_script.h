// Input for runs without a person: QUARVEL_INPUT_SCRIPT="1500:keydown:escape,2000:close"
// presses keys and closes the window at the given milliseconds of GetTickCount's clock after
// the first message pump. Everything is injected as SDL events, so it takes the same path
// as a real key press or close request.
//
// "window+300:close" counts from the first window's creation instead, and is also acted on
// when the program sleeps: a person closing the window while start-up is still busy, whose
// request waits in the queue for the first pump as it would on Windows.
// "1000:flood:2000" floods the window with mouse moves for 2000 ms: one arrives every
// millisecond, so each message pump finds one waiting and a loop that handles a message per
// pass draws nothing meanwhile. Time passes while it waits for the next, on a recording's
// virtual clock too.
#pragma once

#include <windows.h>

#include <SDL2/SDL_scancode.h>

#include <string>
#include <vector>

namespace quarvel::win32 {

struct ScriptStep {
    uint64_t atMs;
    enum Kind { kKeyDown, kKeyUp, kClose, kFlood } kind;
    SDL_Scancode scancode;
    enum Anchor { kFirstPump, kWindowCreated } anchor;
    uint64_t durationMs;  // kFlood only
};

// Parses a script; malformed entries are skipped and named in `rejected`. Steps come back
// in time order (entries with the same time keep their order).
std::vector<ScriptStep> ParseInputScript(const std::string& text, std::vector<std::string>* rejected);

// Called by every message pump: starts the pump's clock on the first call, then injects the
// steps that are due (and, while a flood lasts, its next message).
void RunInputScript();
// Called after every Sleep: injects the due steps that count from the window's creation.
void RunInputScriptAfterSleep();
// Starts the clock of the steps that count from the window's creation (the first call wins).
void NoteWindowCreated();

// Presses or releases a key in the active window (or the newest one): GetAsyncKeyState
// reports it at once, and the key message follows through the queue.
void InjectKey(SDL_Scancode scancode, bool down);
// Asks a window to close, as its close box would.
void InjectClose(HWND window);

}  // namespace quarvel::win32
