#include "core/log_once.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace quarvel::core {

bool LogOnce(const char* area, const char* function, const std::string& text) {
    static std::mutex mutex;
    static std::set<std::string> printed;
    const std::string line = std::string(area) + ": " + function + ": " + text;
    std::lock_guard<std::mutex> lock(mutex);
    if (!printed.insert(line).second) return false;
    std::fprintf(stderr, "%s\n", line.c_str());
    return true;
}

}  // namespace quarvel::core
