#include "log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/log_once.h"

namespace quarvel::d3d11 {
namespace {

std::string Format(const char* format, va_list args) {
    char buffer[1024];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    return buffer;
}

}  // namespace

void LogUnsupported(const char* function, const char* what) {
    core::LogOnce("d3d11", function, std::string("not supported: ") + what);
}

void LogInvalid(const char* function, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = Format(format, args);
    va_end(args);
    core::LogOnce("d3d11", function, text);
}

void LogError(const char* function, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = "error: " + Format(format, args);
    va_end(args);
    core::LogOnce("d3d11", function, text);
}

void LogFault(const char* function, const char* what) {
    const std::string text = std::string("fault: ") + what + " (Direct3D would crash here)";
    const char* strict = std::getenv("QUARVEL_D3D11_STRICT");
    if (strict && std::strcmp(strict, "1") == 0) {
        std::fprintf(stderr, "d3d11: %s: %s; stopping (QUARVEL_D3D11_STRICT=1)\n", function, text.c_str());
        std::abort();
    }
    core::LogOnce("d3d11", function, text);
}

}  // namespace quarvel::d3d11
