// The library's inner pieces on synthetic input: the transform's scale, the level, the ring
// and the timeline that turns the output clock into a stream position.
#include "analysis.h"
#include "pcm_ring.h"
#include "timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace quarvel::bass {
namespace {

std::vector<float> Sine(double cyclesPer2048, double amplitude, double phase = 0.0) {
    std::vector<float> samples(Spectrum2048::kSize);
    for (int n = 0; n < Spectrum2048::kSize; ++n) {
        samples[n] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * cyclesPer2048 * n / 2048.0 + phase));
    }
    return samples;
}

TEST(AudioSpectrum, FullScaleSineAtABinCentreReadsOne) {
    Spectrum2048 spectrum;
    float bins[Spectrum2048::kBins];
    for (int k : {5, 100, 511, 1000}) {
        std::vector<float> samples = Sine(k, 1.0, 0.3);
        spectrum.Compute(samples.data(), bins);
        EXPECT_NEAR(bins[k], 1.0f, 1e-3f) << k;
        EXPECT_NEAR(bins[k - 1], 0.5f, 1e-3f) << k;
        EXPECT_NEAR(bins[k + 1], 0.5f, 1e-3f) << k;
        EXPECT_LT(bins[k + 2], 1e-3f) << k;
    }
}

TEST(AudioSpectrum, ConstantGoesToBinZeroOnly) {
    Spectrum2048 spectrum;
    std::vector<float> samples(Spectrum2048::kSize, 0.25f);
    float bins[Spectrum2048::kBins];
    spectrum.Compute(samples.data(), bins);
    EXPECT_NEAR(bins[0], 0.5f, 1e-4f);  // twice the mean
    EXPECT_NEAR(bins[1], 0.25f, 1e-4f);  // the window's own spread
    EXPECT_LT(*std::max_element(bins + 2, bins + Spectrum2048::kBins), 1e-4f);
}

TEST(AudioLevel, RmsAndPeakOverStridedSamples) {
    std::vector<float> stereo(2 * 4410);
    for (size_t i = 0; i < 4410; ++i) {
        stereo[2 * i] = static_cast<float>(0.8 * std::sin(2.0 * std::numbers::pi * 441.0 * i / 44100.0));
        stereo[2 * i + 1] = 0.1f;
    }
    EXPECT_NEAR(Level(stereo.data(), 4410, 2, true), 0.8 / std::sqrt(2.0), 1e-3);
    EXPECT_NEAR(Level(stereo.data(), 4410, 2, false), 0.8, 1e-3);
    EXPECT_NEAR(Level(stereo.data() + 1, 4410, 2, true), 0.1, 1e-6);
    std::vector<float> loud(100, -3.0f);
    EXPECT_EQ(Level(loud.data(), 100, 1, true), 1.0f);  // clamped to full scale
    EXPECT_EQ(Level(nullptr, 100, 1, true), 0.0f);
    EXPECT_EQ(Level(loud.data(), 0, 1, true), 0.0f);
}

TEST(AudioPcmRing, WritesWrapAroundAndFramesStayWhole) {
    PcmRing ring(2, 6);  // rounds up to 8 frames
    ASSERT_EQ(ring.Capacity(), 8u);
    std::vector<int16_t> frames;
    for (int16_t i = 0; i < 12; ++i) {
        frames.push_back(i);
        frames.push_back(static_cast<int16_t>(-i));
    }
    ring.Write(0, frames.data(), 6);
    ring.Write(6, frames.data() + 12, 6);  // frames 6..11 wrap onto slots 6, 7, 0..3
    for (uint64_t position = 4; position < 12; ++position) {
        EXPECT_EQ(ring.Frame(position)[0], static_cast<int16_t>(position));
        EXPECT_EQ(ring.Frame(position)[1], static_cast<int16_t>(-static_cast<int>(position)));
    }
}

TEST(AudioTimeline, MapsHeardOutputFramesToSourcePositions) {
    Timeline timeline(8);
    timeline.Reset(0.0);
    EXPECT_EQ(timeline.SourceAt(500), 0.0);  // nothing rendered yet

    // Output frames 100..199 carry source 0..50 (a file at half the output's rate), then
    // a stall holds it for 50 frames, then it carries on at the same rate.
    timeline.Add({100, 100, 0.0, 0.5});
    timeline.Add({200, 0, 50.0, 0.5});
    timeline.Add({250, 100, 50.0, 0.5});
    EXPECT_EQ(timeline.SourceAt(50), 0.0);    // heard before playback began
    EXPECT_EQ(timeline.SourceAt(150), 25.0);
    EXPECT_EQ(timeline.SourceAt(230), 50.0);  // the stall
    EXPECT_EQ(timeline.SourceAt(300), 75.0);
    EXPECT_EQ(timeline.SourceAt(1000), 100.0);  // past the last render: where it stopped

    // A restart forgets the old spans; until the new ones are heard it is at the start.
    timeline.Reset(0.0);
    timeline.Add({400, 100, 0.0, 1.0});
    EXPECT_EQ(timeline.SourceAt(380), 0.0);
    EXPECT_EQ(timeline.SourceAt(450), 50.0);
}

TEST(AudioTimeline, KeepsTheNewestSpansWhenFull) {
    Timeline timeline(4);
    timeline.Reset(0.0);
    for (uint64_t i = 0; i < 10; ++i) timeline.Add({i * 10, 10, i * 10.0, 1.0});
    EXPECT_EQ(timeline.SourceAt(95), 95.0);
    EXPECT_EQ(timeline.SourceAt(65), 65.0);
    // Older than anything kept: the oldest kept span's start, not the reset position.
    EXPECT_EQ(timeline.SourceAt(5), 60.0);
}

}  // namespace
}  // namespace quarvel::bass
