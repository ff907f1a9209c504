#include "master.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>

namespace quarvel::music {
namespace {

// Peaks are looked for at four points per sample: the sample and three interpolated between
// it and the next, by a Hann-windowed sinc over 16 neighbours.
constexpr int kOversample = 4;
constexpr int kHalfTaps = 8;

struct Interpolator {
    float taps[kOversample][2 * kHalfTaps] = {};  // phase 0 is the sample itself

    Interpolator() {
        for (int phase = 1; phase < kOversample; ++phase) {
            double fraction = static_cast<double>(phase) / kOversample, sum = 0.0;
            for (int k = 0; k < 2 * kHalfTaps; ++k) {
                double t = (k - kHalfTaps + 1) - fraction;  // distance of tap k from the point
                double x = std::numbers::pi * t;
                double window = 0.5 + 0.5 * std::cos(std::numbers::pi * t / kHalfTaps);
                taps[phase][k] = static_cast<float>(window * (x == 0.0 ? 1.0 : std::sin(x) / x));
                sum += taps[phase][k];
            }
            for (float& tap : taps[phase]) tap = static_cast<float>(tap / sum);
        }
    }
};

// The highest magnitude of any channel at frame i or between it and frame i + 1.
float PeakNear(const std::vector<float>& samples, size_t frames, int channels, size_t i, const Interpolator& filter) {
    float peak = 0.0f;
    for (int c = 0; c < channels; ++c) {
        peak = std::max(peak, std::fabs(samples[i * channels + c]));
        for (int phase = 1; phase < kOversample; ++phase) {
            float value = 0.0f;
            for (int k = 0; k < 2 * kHalfTaps; ++k) {
                auto at = static_cast<long long>(i) + k - kHalfTaps + 1;
                if (at >= 0 && at < static_cast<long long>(frames)) value += filter.taps[phase][k] * samples[at * channels + c];
            }
            peak = std::max(peak, std::fabs(value));
        }
    }
    return peak;
}

double ToLinear(double db) { return std::pow(10.0, db / 20.0); }

std::vector<float> ToFloat(const int16_t* pcm, size_t count, double gain) {
    std::vector<float> samples(count);
    for (size_t i = 0; i < count; ++i) samples[i] = static_cast<float>(pcm[i] * gain / 32768.0);
    return samples;
}

std::vector<int16_t> ToPcm(const std::vector<float>& samples) {
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        pcm[i] = static_cast<int16_t>(std::clamp(std::lround(samples[i] * 32768.0), -32768L, 32767L));
    }
    return pcm;
}

}  // namespace

double LimitTruePeaks(std::vector<float>& samples, int channels, int rate, double ceiling,
                      double lookAheadMs, double releaseMs) {
    if (channels < 1 || rate <= 0 || samples.size() < static_cast<size_t>(channels)) return 1.0;
    static const Interpolator filter;
    size_t frames = samples.size() / channels;
    auto lookAhead = static_cast<size_t>(std::max(1.0, lookAheadMs * rate / 1000.0));
    double recovery = std::exp(-1000.0 / (std::max(releaseMs, 0.001) * rate));

    std::vector<float> needed(frames);
    for (size_t i = 0; i < frames; ++i) {
        float peak = PeakNear(samples, frames, channels, i, filter);
        needed[i] = peak > ceiling ? static_cast<float>(ceiling / peak) : 1.0f;
    }

    // held[i]: the least factor any frame in the next look-ahead needs, let go of slowly.
    // The gain at frame i is the mean of held over the look-ahead before it; every term of
    // that mean had frame i in its window, so the gain never exceeds what frame i needs.
    std::vector<float> held(frames);
    std::deque<size_t> window;  // frames with rising `needed`, the window's least first
    double released = 1.0;
    for (size_t i = frames; i-- > 0;) {
        while (!window.empty() && needed[window.back()] >= needed[i]) window.pop_back();
        window.push_back(i);
        while (window.front() > i + lookAhead) window.pop_front();
        held[i] = needed[window.front()];
    }
    for (size_t i = 0; i < frames; ++i) {
        released = std::min<double>(held[i], 1.0 - (1.0 - released) * recovery);
        held[i] = static_cast<float>(released);
    }

    double sum = 0.0, least = 1.0;
    for (size_t i = 0; i < frames; ++i) {
        sum += held[i];
        if (i > lookAhead) sum -= held[i - lookAhead - 1];
        double gain = sum / static_cast<double>(std::min(i, lookAhead) + 1);
        least = std::min(least, gain);
        for (int c = 0; c < channels; ++c) samples[i * channels + c] = static_cast<float>(samples[i * channels + c] * gain);
    }
    return least;
}

bool Master(const int16_t* pcm, size_t frames, int channels, int rate, const MasterSettings& settings,
            std::vector<int16_t>* out, MasterReport* report) {
    MasterReport result;
    if (pcm == nullptr || out == nullptr || !MeasureLoudness(pcm, frames, channels, rate, &result.before) ||
        !std::isfinite(result.before.integratedLufs)) {
        return false;
    }
    // The limiter takes a little loudness off the loudest passages, so the gain is found by
    // measuring what comes out and correcting, a few times.
    result.gainDb = settings.targetLufs - result.before.integratedLufs;
    std::vector<int16_t> mastered;
    for (int attempt = 0; attempt < 6; ++attempt) {
        std::vector<float> samples = ToFloat(pcm, frames * channels, ToLinear(result.gainDb));
        double least = LimitTruePeaks(samples, channels, rate, ToLinear(settings.ceilingDbtp),
                                      settings.lookAheadMs, settings.releaseMs);
        mastered = ToPcm(samples);
        result.maxReductionDb = -20.0 * std::log10(least);
        if (!MeasureLoudness(mastered.data(), frames, channels, rate, &result.after)) return false;
        double miss = settings.targetLufs - result.after.integratedLufs;
        if (std::fabs(miss) < 0.02) break;
        result.gainDb += miss;
    }
    *out = std::move(mastered);
    if (report != nullptr) *report = result;
    return true;
}

}  // namespace quarvel::music
