#include "log_once.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace quarvel::hlsl {

void LogUnsupportedOnce(const char* function, const std::string& what) {
    static std::mutex mutex;
    static std::set<std::string> said;
    const std::string key = std::string(function) + ": " + what;
    std::lock_guard<std::mutex> lock(mutex);
    if (!said.insert(key).second) return;
    std::fprintf(stderr, "quarvel: %s (not supported, ignored)\n", key.c_str());
}

}  // namespace quarvel::hlsl
