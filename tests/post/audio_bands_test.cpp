// The reduction of the spectrum into the 32 bands that drive the VHS pass.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/audio_analysis.h"
#include "app/main_loop.h"

namespace {

float Band(int y) { return (float)(y + 1) * (1.0f / 127.0f); }

float LoudestBandOf(int bin, float peak, int& band) {
    std::vector<float> bins(kFftBins, 0.0f);
    bins[bin] = peak;
    float bands[kSpectrumBands];
    ReduceSpectrum(bins.data(), bands);
    band = -1;
    for (int i = 0; i < kSpectrumBands; ++i)
        if (bands[i] != Band(-4)) band = i;
    return band < 0 ? Band(-4) : bands[band];
}

TEST(AudioBandsTest, EachBinFeedsOneBandOfTheListedRanges) {
    std::vector<int> owner(kFftBins);
    for (int bin = 0; bin < kFftBins; ++bin) LoudestBandOf(bin, 1.0f, owner[bin]);
    EXPECT_EQ(owner[0], -1) << "the constant component is never read";
    struct Range {
        int band, first, last;
    };
    for (const Range& r : {Range{0, 1, 1}, Range{1, 2, 2}, Range{11, 12, 12}, Range{12, 13, 14}, Range{13, 15, 18},
                           Range{16, 29, 35}, Range{20, 70, 87}, Range{24, 172, 214}, Range{28, 419, 523},
                           Range{30, 655, 818}, Range{31, 819, 1023}}) {
        EXPECT_NE(owner[r.first - 1], r.band) << "band " << r.band << " starts at " << r.first;
        for (int bin = r.first; bin <= r.last; ++bin) EXPECT_EQ(owner[bin], r.band) << "bin " << bin;
    }
    for (int bin = 2; bin < kFftBins; ++bin) EXPECT_GE(owner[bin], owner[bin - 1]) << "bands in order";
}

TEST(AudioBandsTest, LastBandReadsBin1023AndNothingBeyond) {
    // One float past the bins, poisoned: reading it would light the last band.
    std::vector<float> padded(kFftBins + 1, 0.0f);
    padded[kFftBins] = 1.0f;
    float bands[kSpectrumBands];
    ReduceSpectrum(padded.data(), bands);
    EXPECT_EQ(bands[31], Band(-4));
    padded[kFftBins - 1] = 0.01f;
    ReduceSpectrum(padded.data(), bands);
    EXPECT_EQ(bands[31], Band(34));
}

TEST(AudioBandsTest, PeakScalingClampsAboveOnlyAndSilenceIsMinusThreeOver127) {
    const std::vector<float> silence(kFftBins, 0.0f);
    float bands[kSpectrumBands];
    ReduceSpectrum(silence.data(), bands);
    for (float value : bands) EXPECT_EQ(value, -3.0f * (1.0f / 127.0f));
    int band;
    // sqrt(peak) * 381 - 4, truncated towards zero, at most 127; absurd peaks stay defined.
    EXPECT_EQ(LoudestBandOf(5, 1.0f, band), Band(127));
    EXPECT_EQ(LoudestBandOf(5, 0.01f, band), Band(34));
    EXPECT_EQ(LoudestBandOf(5, 0.1f, band), Band(116));
    EXPECT_EQ(LoudestBandOf(5, 0.0001f, band), Band(0));
    EXPECT_EQ(band, 4);
    EXPECT_EQ(LoudestBandOf(5, __builtin_inff(), band), Band(127));
}

TEST(AudioBandsTest, FailedQueriesKeepTheLastSpectrumAndReadAsSilence) {
    musicStream = 0;  // no stream: both queries fail
    for (float& bin : fftBins) bin = 0.0f;
    fftBins[5] = 1.0f;
    musicLevel = 0.7f;
    AnalyseAudio();
    EXPECT_EQ(std::make_tuple(fftBins[5], musicLevel, spectrumBands[4], spectrumBands[5]),
              std::make_tuple(1.0f, 0.0f, Band(127), Band(-4)));
}

}  // namespace
