// Turns SDL's events into window messages: input is posted to the queue, activation and
// size changes are sent to the window procedure at once (as Windows sends them).
#pragma once

namespace quarvel::win32 {

// Runs the test input that is due, then translates every pending SDL event.
void PumpEvents();
// Blocks up to `timeoutMs` for one SDL event and translates it (GetMessageA's wait).
void WaitForEvent(int timeoutMs);

}  // namespace quarvel::win32
