// kernel32: module handle, tick count, sleep, performance counter, debugger output.
#include <windows.h>

#include <cstdio>
#include <time.h>

#include "clock.h"
#include "core/log_once.h"
#include "input_script.h"

namespace {
// Where a 32-bit executable is loaded by default; any fixed non-null value serves, as long
// as every call returns the same one.
HMODULE const kModuleHandle = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x00400000));
constexpr LONGLONG kPerformanceFrequency = 10000000;  // 100 ns ticks, as Windows 10 reports
}  // namespace

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (!lpModuleName) return kModuleHandle;
    quarvel::core::LogOnce("win32", "GetModuleHandleA", "not supported: a module name");
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

// Milliseconds since an arbitrary start (the system's boot on Windows); wraps at 2^32.
DWORD WINAPI GetTickCount(void) { return static_cast<DWORD>(quarvel::win32::ClockNowMs()); }

void WINAPI Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == INFINITE) {
        for (;;) quarvel::win32::ClockSleepMs(0x7fffffff);
    }
    quarvel::win32::ClockSleepMs(dwMilliseconds);
    quarvel::win32::RunInputScriptAfterSleep();
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    if (!lpFrequency) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpFrequency->QuadPart = kPerformanceFrequency;
    return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    if (!lpPerformanceCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    lpPerformanceCount->QuadPart = static_cast<LONGLONG>(now.tv_sec) * kPerformanceFrequency + now.tv_nsec / 100;
    return TRUE;
}

// No debugger to talk to: the text goes to standard error unchanged (callers add their own
// line ends, as they would for a debugger).
void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
    if (!lpOutputString) return;
    std::fputs(lpOutputString, stderr);
    std::fflush(stderr);
}

}  // extern "C"
