// Loudness of interleaved PCM by ITU-R BS.1770 and EBU R 128, measured with libebur128:
// K-weighted, gated integrated loudness, loudness range, and the true peak that its 4x
// oversampling finds.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quarvel::music {

struct Loudness {
    double integratedLufs = 0.0;
    double rangeLu = 0.0;
    double truePeakDb = 0.0;    // dBTP, the louder channel
    double samplePeakDb = 0.0;  // dBFS, the louder channel
};

// `frames` interleaved frames of `channels` samples at `rate` Hz, full scale at +-1 (float)
// or +-32768 (16-bit). False when libebur128 refuses the format or runs out of memory.
bool MeasureLoudness(const float* samples, size_t frames, int channels, int rate, Loudness* out);
bool MeasureLoudness(const int16_t* samples, size_t frames, int channels, int rate, Loudness* out);

}  // namespace quarvel::music
