// The spectrum on our radix-2 transform, which the Windows build runs, against kissfft, which
// the Linux build's runs on: the same magnitudes within single-precision rounding (only they
// are ever read).
#include "analysis.h"

#include <kiss_fftr.h>

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

namespace quarvel::audio {
namespace {

std::vector<std::complex<float>> KissTransform(const std::vector<float>& input) {
    int size = static_cast<int>(input.size());
    kiss_fftr_cfg config = kiss_fftr_alloc(size, 0, nullptr, nullptr);
    std::vector<kiss_fft_cpx> out(static_cast<size_t>(size / 2 + 1));
    kiss_fftr(config, input.data(), out.data());
    kiss_fftr_free(config);
    std::vector<std::complex<float>> bins;
    for (const kiss_fft_cpx& bin : out) bins.emplace_back(bin.r, bin.i);
    return bins;
}

// The spectrum built on our transform reads as the Linux one does: kissfft with the same
// window and scale, computed here by hand.
TEST(WindowsSpectrum, EqualsTheKissFftSpectrum) {
    constexpr int kSize = Spectrum2048::kSize;
    // A tone at bin 93 in a little noise.
    std::mt19937 random(99u);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    std::vector<float> samples(kSize);
    for (int n = 0; n < kSize; ++n)
        samples[n] = 0.1f * noise(random) + float(0.5 * std::sin(2.0 * std::numbers::pi * 93.0 * n / kSize));
    Spectrum2048 spectrum;
    std::vector<float> ours(Spectrum2048::kBins);
    spectrum.Compute(samples.data(), ours.data());

    std::vector<float> windowed(kSize);
    double windowSum = 0.0;
    for (int n = 0; n < kSize; ++n) {
        double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / kSize);
        windowed[static_cast<size_t>(n)] = samples[static_cast<size_t>(n)] * static_cast<float>(w);
        windowSum += w;
    }
    std::vector<std::complex<float>> kiss = KissTransform(windowed);
    for (int k = 0; k < Spectrum2048::kBins; ++k) {
        float expected = std::abs(kiss[static_cast<size_t>(k)]) * static_cast<float>(2.0 / windowSum);
        EXPECT_NEAR(ours[static_cast<size_t>(k)], expected, 1e-5f) << k;
    }
    EXPECT_NEAR(ours[93], 0.5f, 0.02f);  // the tone stands out of the noise at its bin
}

}  // namespace
}  // namespace quarvel::audio
