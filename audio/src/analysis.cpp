#include "analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace quarvel::audio {

float Level(const float* samples, int count, int stride, bool rms) {
    if (samples == nullptr || count <= 0 || stride <= 0) return 0.0f;
    double accumulated = 0.0;
    for (int i = 0; i < count; ++i) {
        double sample = samples[static_cast<size_t>(i) * static_cast<size_t>(stride)];
        if (rms) {
            accumulated += sample * sample;
        } else {
            accumulated = std::max(accumulated, std::fabs(sample));
        }
    }
    double level = rms ? std::sqrt(accumulated / count) : accumulated;
    return static_cast<float>(std::clamp(level, 0.0, 1.0));
}

Spectrum2048::Spectrum2048() : fft_(kSize) {
    double sum = 0.0;
    for (int n = 0; n < kSize; ++n) {
        double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / kSize);
        window_[static_cast<size_t>(n)] = static_cast<float>(w);
        sum += w;
    }
    scale_ = static_cast<float>(2.0 / sum);
}

Spectrum2048::~Spectrum2048() = default;

void Spectrum2048::Compute(const float* samples, float* magnitudes) {
    if (!fft_.Valid()) {
        std::fill(magnitudes, magnitudes + kBins, 0.0f);
        return;
    }
    for (int n = 0; n < kSize; ++n) input_[static_cast<size_t>(n)] = samples[n] * window_[static_cast<size_t>(n)];
    fft_.Forward(input_.data(), output_.data());
    for (int k = 0; k < kBins; ++k) {
        const std::complex<float>& bin = output_[static_cast<size_t>(k)];
        magnitudes[k] = std::sqrt(bin.real() * bin.real() + bin.imag() * bin.imag()) * scale_;
    }
}

}  // namespace quarvel::audio
