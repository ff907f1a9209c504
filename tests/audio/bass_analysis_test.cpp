// Level and spectrum of the audio being heard, measured on files of known content.
#include "bass_fixture.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quarvel::test {
namespace {

class AudioHeardAnalysis : public BassTest {
protected:
    // Plays `path` in real time until a stretch well inside the signal is being heard.
    HSTREAM PlayInto(const std::string& path, double seconds = 0.3) {
        Start("1");
        HSTREAM stream = Open(path);
        EXPECT_TRUE(BASS_ChannelPlay(stream, TRUE));
        EXPECT_TRUE(WaitUntilHeard(stream, seconds));
        return stream;
    }

    static int PeakBin(const float* bins) { return static_cast<int>(std::max_element(bins, bins + 1024) - bins); }
};

TEST_F(AudioHeardAnalysis, RmsOfASineIsItsAmplitudeOverRootTwo) {
    HSTREAM stream = PlayInto(Files().sine1k);
    float level = -1.0f;
    ASSERT_TRUE(BASS_ChannelGetLevelEx(stream, &level, 0.05f, BASS_LEVEL_MONO | BASS_LEVEL_RMS));
    EXPECT_NEAR(level, kSineAmplitude / std::sqrt(2.0), 0.01);

    float peak = -1.0f;
    ASSERT_TRUE(BASS_ChannelGetLevelEx(stream, &peak, 0.05f, BASS_LEVEL_MONO));
    EXPECT_NEAR(peak, kSineAmplitude, 0.02);
    float both[2] = {-1.0f, -1.0f};
    ASSERT_TRUE(BASS_ChannelGetLevelEx(stream, both, 0.05f, BASS_LEVEL_STEREO | BASS_LEVEL_RMS));
    EXPECT_NEAR(both[0], kSineAmplitude / std::sqrt(2.0), 0.01);
    EXPECT_NEAR(both[1], kSineAmplitude / std::sqrt(2.0), 0.01);
}

TEST_F(AudioHeardAnalysis, SpectrumIsScaledSoASineReadsItsAmplitude) {
    HSTREAM stream = PlayInto(Files().binSine);
    float bins[1024];
    ASSERT_EQ(BASS_ChannelGetData(stream, bins, BASS_DATA_FFT2048), 4096u);
    EXPECT_EQ(PeakBin(bins), kBinSineBin);
    EXPECT_NEAR(bins[kBinSineBin], kBinSineAmplitude, 0.03);
    // A Hann window puts half the peak into each neighbour and nothing further out.
    EXPECT_NEAR(bins[kBinSineBin - 1], kBinSineAmplitude / 2, 0.03);
    EXPECT_NEAR(bins[kBinSineBin + 1], kBinSineAmplitude / 2, 0.03);
    for (int k = 0; k < 1024; ++k) {
        if (std::abs(k - kBinSineBin) >= 3) {
            ASSERT_LT(bins[k], 0.01f) << "bin " << k;
        }
    }
}

TEST_F(AudioHeardAnalysis, SpectrumPeaksAtTheSinesFrequency) {
    HSTREAM stream = PlayInto(Files().sine1k);
    float bins[1024];
    ASSERT_EQ(BASS_ChannelGetData(stream, bins, BASS_DATA_FFT2048), 4096u);
    // 1 kHz is bin 46.44: the peak is at 46, lowered by the window for being off-centre
    // (a Hann window's response 0.44 bins away is 0.881).
    EXPECT_EQ(PeakBin(bins), static_cast<int>(std::lround(1000.0 * 2048 / 44100)));
    EXPECT_NEAR(bins[46], 0.881 * kSineAmplitude, 0.03);

    EXPECT_EQ(BASS_ChannelGetData(stream, nullptr, BASS_DATA_FFT2048), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_ChannelGetData(stream, bins, 0x80000004), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
}

}  // namespace
}  // namespace quarvel::test
