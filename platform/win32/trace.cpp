#include "trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace quarvel::win32 {

bool TraceEnabled() {
    const char* value = std::getenv("QUARVEL_WIN32_TRACE");
    return value && value[0] && value[0] != '0';
}

void Trace(const char* format, ...) {
    if (!TraceEnabled()) return;
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fprintf(stderr, "win32: %s\n", line);
}

}  // namespace quarvel::win32
