// A trace of what the Win32 stand-in did, on standard error.
#pragma once

namespace quarvel::win32 {

// With QUARVEL_WIN32_TRACE=1: one line per window created or destroyed, display-mode switch
// and the first message pump, so scripted runs can tell what the program did.
bool TraceEnabled();
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace quarvel::win32
