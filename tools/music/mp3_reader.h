// A whole MP3 file decoded by mpg123 with its gapless trimming: the samples the Linux build
// plays, for measuring what the music renderer wrote and comparing what tests encode.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quarvel::music {

// Interleaved 16-bit samples; empty when the file cannot be read. `rate` and `channels`, when
// given, receive the stream's format.
std::vector<int16_t> ReadMp3(const std::string& path, long* rate = nullptr, int* channels = nullptr);

}  // namespace quarvel::music
