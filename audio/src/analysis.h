// Level and spectrum of a stretch of heard audio, computed outside the engine's lock.
#pragma once

#include "real_fft.h"

#include <array>
#include <complex>

namespace quarvel::audio {

// RMS (or peak, when `rms` is false) of `count` samples spaced `stride` floats apart,
// clamped to 0..1.
float Level(const float* samples, int count, int stride, bool rms);

// The 2048-point magnitude spectrum behind BASS_DATA_FFT2048.
//
// Scale: the 2048 samples are multiplied by a periodic Hann window w[n] = 0.5 - 0.5 cos(2 pi
// n / 2048), transformed, and each magnitude |X[k]| is multiplied by 2 / sum(w) = 2 / 1024.
// A sine of amplitude A whose frequency is the centre of bin k (k * rate / 2048) therefore
// reads A at index k: a full-scale sine peaks at 1.0. Index k holds bin k for k = 0..1023
// (the Nyquist bin is dropped); index 0 is the constant component, twice the mean.
class Spectrum2048 {
public:
    static constexpr int kSize = 2048;
    static constexpr int kBins = kSize / 2;

    Spectrum2048();
    ~Spectrum2048();
    Spectrum2048(const Spectrum2048&) = delete;
    Spectrum2048& operator=(const Spectrum2048&) = delete;

    // `samples`: kSize mono samples; `magnitudes`: kBins values. Not reentrant.
    void Compute(const float* samples, float* magnitudes);

private:
    RealFft fft_;
    std::array<float, kSize> window_;
    std::array<float, kSize> input_;
    std::array<std::complex<float>, kSize / 2 + 1> output_;
    float scale_;
};

}  // namespace quarvel::audio
