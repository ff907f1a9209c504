// The whole song, rendered once (it takes several seconds), and the presentation's music
// file made from it. One test on purpose: each test would render again in its own process.
#include <gtest/gtest.h>

#include <cmath>
#include <string.h>
#include <vector>

#include "mp3_decode.h"
#include "synth/synth.h"

namespace {

const char* const kMusic = "Data/BRISVANE KETRA MASTER 22.mp3";

double Rms(int fromFrame, int toFrame)
{
    double s = 0;
    for (int i = 2 * fromFrame; i < 2 * toFrame; i++) s += (double)MusBuf[i] * MusBuf[i];
    return std::sqrt(s / (2.0 * (toFrame - fromFrame)));
}

int BarFrame(int bar)
{
    return bar * 32 * (tempo / 4);
}

TEST(SynthRenderedSong, SoundsLikeASongAndIsTheMusicFile)
{
    genMus();

    // Not silent, seldom clipped, and a stereo picture rather than one channel twice.
    long clipped = 0, differ = 0;
    for (int i = 0; i < MIXLEN; i++) {
        clipped += std::abs(MusBuf[2 * i]) >= 32767;
        clipped += std::abs(MusBuf[2 * i + 1]) >= 32767;
        differ += MusBuf[2 * i] != MusBuf[2 * i + 1];
    }
    EXPECT_GT(Rms(0, MIXLEN), 2000);
    EXPECT_LT(clipped, MIXLEN / 1000);
    EXPECT_GT(differ, MIXLEN / 2);

    // The form: a quiet intro, the groove, a breakdown, the loudest part near the end,
    // and a ring-out to silence after the last note.
    double intro = Rms(0, BarFrame(4)), groove = Rms(BarFrame(8), BarFrame(16));
    double breakdown = Rms(BarFrame(48), BarFrame(56)), hook = Rms(BarFrame(64), BarFrame(80));
    EXPECT_LT(intro * 3, groove);
    EXPECT_LT(breakdown * 1.5, hook);
    EXPECT_LT(groove, hook);
    EXPECT_LT(Rms(MIXLEN - 4410, MIXLEN), 50);

    // Both passes fill their own 13 rows with the same content.
    EXPECT_EQ(timing, musdat[0] + NUMROWS * ROWLEN);
    for (int t = 0; t < numtr; t++)
        EXPECT_EQ(memcmp(musdat[t], musdat[t + numtr], sizeof musdat[0]), 0) << t;
    EXPECT_FLOAT_EQ(insttrig(11, 3070.5f), 0.5f);  // the last kick
    EXPECT_FLOAT_EQ(insttrig(6, 10.0f), 10.0f);    // the pads start at 0

    // The presentation's music is the song's first 31 seconds.
    long rate = 0;
    int channels = 0;
    std::vector<int16_t> mp3 = quarvel::test::DecodeMp3File(kMusic, &rate, &channels);
    ASSERT_FALSE(mp3.empty()) << kMusic;
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(mp3.size(), 31u * 44100 * 2);
    double dot = 0, a2 = 0, b2 = 0;
    for (size_t i = 0; i < mp3.size() && i < 2u * MIXLEN; i++) {
        dot += (double)mp3[i] * MusBuf[i];
        a2 += (double)mp3[i] * mp3[i];
        b2 += (double)MusBuf[i] * MusBuf[i];
    }
    EXPECT_GT(dot / std::sqrt(a2 * b2), 0.98);
}

}  // namespace
