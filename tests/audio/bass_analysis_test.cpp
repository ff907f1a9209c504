// Level and spectrum of the audio being heard, measured on files of known content.
#include "bass_fixture.h"

#include <algorithm>
#include <cmath>

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

    EXPECT_EQ(BASS_ChannelGetData(stream, nullptr, BASS_DATA_FFT2048), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_ChannelGetData(stream, bins, 0x80000004), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
}

}  // namespace
}  // namespace quarvel::test
