// The thread's last error lives in core because every area sets it, core included
// (SendMessageA on a dead handle), and the areas must not depend on each other for it.
#include <windows.h>

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

extern "C" DWORD WINAPI GetLastError(void) { return lastError; }
extern "C" void WINAPI SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }
