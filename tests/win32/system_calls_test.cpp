// The clock.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

#include "win32/clock.h"

namespace {

// A clock that moves only when someone sleeps: what recording runs will plug in.
uint64_t fakeNow = 0;
uint64_t FakeNow() { return fakeNow; }
void FakeSleep(uint32_t ms) { fakeNow += ms; }

TEST(Win32Clock, TickCountAndSleepShareOneReplaceableClock) {
    const quarvel::win32::ClockSource fake{FakeNow, FakeSleep};
    fakeNow = 0x100000005ULL;  // past 2^32 ms: the tick count wraps
    quarvel::win32::SetClockSource(&fake);
    EXPECT_EQ(GetTickCount(), 5u);
    auto start = std::chrono::steady_clock::now();
    Sleep(60000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(GetTickCount(), 60005u);
    quarvel::win32::SetClockSource(nullptr);

    DWORD before = GetTickCount();
    Sleep(30);
    DWORD slept = GetTickCount() - before;
    EXPECT_GE(slept, 29u);
    EXPECT_LT(slept, 1000u);
}

}  // namespace
