// Encodes 16-bit PCM to an MP3 file with LAME, for the build's music and the tests' signals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quarvel::music {

// `pcm`: `frames` interleaved frames of `channels` (1 or 2) samples at `rate` Hz; `kbps`:
// constant bit rate. The file carries a LAME tag, so gapless decoders give back exactly
// `frames` frames. False (and no complete file) on any failure.
bool WriteMp3(const std::string& path, const int16_t* pcm, size_t frames, int channels, int rate,
              int kbps);

}  // namespace quarvel::music
