#include "log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace quarvel::d3d11 {
namespace {

std::mutex logMutex;

// True the first time `key` is seen.
bool FirstTime(const std::string& key) {
    static std::set<std::string> seen;
    std::lock_guard<std::mutex> lock(logMutex);
    return seen.insert(key).second;
}

std::string Format(const char* format, va_list args) {
    char buffer[1024];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    return buffer;
}

}  // namespace

void LogUnsupported(const char* function, const char* what) {
    const std::string line = std::string("quarvel d3d11: ") + function + ": not supported: " + what;
    if (FirstTime(line)) std::fprintf(stderr, "%s\n", line.c_str());
}

void LogInvalid(const char* function, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string line = std::string("quarvel d3d11: ") + function + ": " + Format(format, args);
    va_end(args);
    if (FirstTime(line)) std::fprintf(stderr, "%s\n", line.c_str());
}

void LogError(const char* function, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string line = std::string("quarvel d3d11: ") + function + ": error: " + Format(format, args);
    va_end(args);
    if (FirstTime(line)) std::fprintf(stderr, "%s\n", line.c_str());
}

void LogFault(const char* function, const char* what) {
    const std::string line = std::string("quarvel d3d11: ") + function + ": fault: " + what +
                             " (Direct3D would crash here)";
    const char* strict = std::getenv("QUARVEL_D3D11_STRICT");
    if (strict && std::strcmp(strict, "1") == 0) {
        std::fprintf(stderr, "%s; stopping (QUARVEL_D3D11_STRICT=1)\n", line.c_str());
        std::abort();
    }
    if (FirstTime(line)) std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace quarvel::d3d11
