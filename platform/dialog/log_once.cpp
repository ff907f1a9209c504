#include "log_once.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace quarvel::platform::dialog {
namespace {
void Report(const std::string& line) {
    static std::mutex mutex;
    static std::set<std::string> seen;
    std::lock_guard<std::mutex> lock(mutex);
    if (seen.insert(line).second) std::fprintf(stderr, "dialog: %s\n", line.c_str());
}
}  // namespace

void LogUnsupportedOnce(const char* function, const std::string& what) {
    Report(std::string(function) + ": " + what + " is not supported");
}

void LogOnce(const char* function, const std::string& what) { Report(std::string(function) + ": " + what); }

}  // namespace quarvel::platform::dialog
