#include "loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>

namespace quarvel::music {
namespace {

constexpr int kMode = EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK;

double Decibels(double linear) { return 20.0 * std::log10(std::max(linear, 1e-10)); }

template <typename Sample, typename Add>
bool Measure(const Sample* samples, size_t frames, int channels, int rate, Add add, Loudness* out) {
    if (samples == nullptr || out == nullptr || channels < 1 || rate <= 0) return false;
    ebur128_state* state = ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(rate), kMode);
    if (state == nullptr) return false;
    bool ok = add(state, samples, frames) == EBUR128_SUCCESS &&
              ebur128_loudness_global(state, &out->integratedLufs) == EBUR128_SUCCESS &&
              ebur128_loudness_range(state, &out->rangeLu) == EBUR128_SUCCESS;
    double truePeak = 0.0, samplePeak = 0.0;
    for (int c = 0; ok && c < channels; ++c) {
        double channelTrue = 0.0, channelSample = 0.0;
        ok = ebur128_true_peak(state, static_cast<unsigned>(c), &channelTrue) == EBUR128_SUCCESS &&
             ebur128_sample_peak(state, static_cast<unsigned>(c), &channelSample) == EBUR128_SUCCESS;
        truePeak = std::max(truePeak, channelTrue);
        samplePeak = std::max(samplePeak, channelSample);
    }
    out->truePeakDb = Decibels(truePeak);
    out->samplePeakDb = Decibels(samplePeak);
    ebur128_destroy(&state);
    return ok;
}

}  // namespace

bool MeasureLoudness(const float* samples, size_t frames, int channels, int rate, Loudness* out) {
    return Measure(samples, frames, channels, rate, ebur128_add_frames_float, out);
}

bool MeasureLoudness(const int16_t* samples, size_t frames, int channels, int rate, Loudness* out) {
    return Measure(samples, frames, channels, rate, ebur128_add_frames_short, out);
}

}  // namespace quarvel::music
