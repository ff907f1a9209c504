// What a recording run was asked for, from QUARVEL_RECORD, QUARVEL_RECORD_FPS and
// QUARVEL_RECORD_TIMES.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quarvel::record {

struct Settings {
    bool active = false;
    std::string path;
    bool video = false;  // path ends in .mp4 or .mkv: frames go to ffmpeg
    double fps = 30.0;
    std::vector<uint32_t> timesMs;  // empty: every frame advances the music by 1 / fps
};

// Parses the three values (null for unset). False with `error` set for a value that cannot
// be used: an empty path, a rate that is not a positive number up to 1000, a time list that
// is not comma-separated whole milliseconds.
bool ParseSettings(const char* path, const char* fps, const char* times, Settings& settings, std::string& error);

}  // namespace quarvel::record
