#include "record_settings.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace quarvel::record {
namespace {

bool EndsWith(const std::string& text, const char* suffix) {
    const std::string tail = suffix;
    if (text.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char c = text[text.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i]) return false;
    }
    return true;
}

bool ParseTimes(const std::string& text, std::vector<uint32_t>& times) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        std::string item = text.substr(start, end - start);
        while (!item.empty() && item.front() == ' ') item.erase(item.begin());
        while (!item.empty() && item.back() == ' ') item.pop_back();
        if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos) return false;
        errno = 0;
        const unsigned long long value = std::strtoull(item.c_str(), nullptr, 10);
        if (errno != 0 || value > 0xFFFFFFFFull) return false;
        times.push_back(static_cast<uint32_t>(value));
        start = end + 1;
    }
    return !times.empty();
}

}  // namespace

bool ParseSettings(const char* path, const char* fps, const char* times, Settings& settings, std::string& error) {
    settings = Settings();
    if (!path) return true;
    settings.path = path;
    if (settings.path.empty()) {
        error = "QUARVEL_RECORD is empty; give a folder or a .mp4 or .mkv file";
        return false;
    }
    settings.active = true;
    settings.video = EndsWith(settings.path, ".mp4") || EndsWith(settings.path, ".mkv");
    if (fps && *fps) {
        char* end = nullptr;
        const double rate = std::strtod(fps, &end);
        if (end == fps || *end != '\0' || !std::isfinite(rate) || rate <= 0.0 || rate > 1000.0) {
            error = std::string("QUARVEL_RECORD_FPS=\"") + fps + "\" is not a frame rate (a number above 0, up to 1000)";
            return false;
        }
        settings.fps = rate;
    }
    if (times && *times && !ParseTimes(times, settings.timesMs)) {
        error = std::string("QUARVEL_RECORD_TIMES=\"") + times + "\" is not a list of milliseconds such as 0,500,18000";
        return false;
    }
    return true;
}

}  // namespace quarvel::record
