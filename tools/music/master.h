// Mastering for the presentation's music: one gain that brings the song to a loudness
// target, then a look-ahead limiter that keeps the true (inter-sample) peaks under a ceiling,
// so that the lossy encodings after it do not clip.
#pragma once

#include "loudness.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarvel::music {

struct MasterSettings {
    double targetLufs = -14.0;
    // Well below the -1 dBTP a released track allows, which must still hold after a second
    // lossy encoding: the recording's AAC adds overshoot to the peaks of the MP3 it is given.
    double ceilingDbtp = -2.5;
    double lookAheadMs = 5.0;
    double releaseMs = 60.0;
};

struct MasterReport {
    Loudness before, after;
    double gainDb = 0.0;          // the gain before the limiter
    double maxReductionDb = 0.0;  // the most the limiter took off
};

// Holds the true peaks of `samples` (full scale at +-1) at or under `ceiling` (linear): each
// frame is scaled by one factor shared by all channels,
// which falls over the look-ahead before a peak and recovers over the release after it.
// Returns the smallest factor used.
double LimitTruePeaks(std::vector<float>& samples, int channels, int rate, double ceiling,
                      double lookAheadMs, double releaseMs);

// `frames` interleaved 16-bit frames of `channels` at `rate` Hz, mastered into `out`.
// False (and `out` untouched) when the loudness cannot be measured, e.g. on silence.
bool Master(const int16_t* pcm, size_t frames, int channels, int rate, const MasterSettings& settings,
            std::vector<int16_t>* out, MasterReport* report);

}  // namespace quarvel::music
