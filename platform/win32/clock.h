// The one clock behind GetTickCount and Sleep. A recording run can swap in a virtual clock
// here (time that advances only when the program sleeps or draws) without any caller knowing.
#pragma once

#include <stdint.h>

namespace quarvel::win32 {

struct ClockSource {
    uint64_t (*nowMs)();             // milliseconds on a monotonic clock
    void (*sleepMs)(uint32_t ms);    // blocks the caller for that long on this clock
};

uint64_t ClockNowMs();
void ClockSleepMs(uint32_t ms);

// Replaces the clock; null goes back to the system's monotonic clock. Not thread-safe:
// swap it before anything reads the time.
void SetClockSource(const ClockSource* source);

}  // namespace quarvel::win32
