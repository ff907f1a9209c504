#include "log_once.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

namespace quarvel::platform {

void LogUnsupportedOnce(const char* function, const char* what) {
    static std::mutex mutex;
    static std::set<std::string> seen;
    std::string key = std::string(function) + ": " + what;
    std::lock_guard<std::mutex> lock(mutex);
    if (seen.insert(key).second) std::fprintf(stderr, "win32: %s is not supported\n", key.c_str());
}

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

}  // namespace quarvel::platform
