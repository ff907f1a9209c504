#include "clock.h"

#include <errno.h>
#include <sched.h>
#include <time.h>

namespace quarvel::win32 {
namespace {

uint64_t MonotonicNowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

void MonotonicSleepMs(uint32_t ms) {
    if (ms == 0) {
        sched_yield();  // Sleep(0) gives up the rest of the time slice
        return;
    }
    timespec left{static_cast<time_t>(ms / 1000u), static_cast<long>(ms % 1000u) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

const ClockSource systemClock{MonotonicNowMs, MonotonicSleepMs};
const ClockSource* current = &systemClock;

}  // namespace

uint64_t ClockNowMs() { return current->nowMs(); }
void ClockSleepMs(uint32_t ms) { current->sleepMs(ms); }
void SetClockSource(const ClockSource* source) { current = source ? source : &systemClock; }

}  // namespace quarvel::win32
