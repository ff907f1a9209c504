// The whole song, rendered once (it takes several seconds), and the presentation's music
// file made from it, as the audio library decodes it. One test of the song on purpose: each
// test would render again in its own process.
#include <gtest/gtest.h>

#include <cmath>
#include <string.h>
#include <vector>

#include "byte_source.h"
#include "decoder.h"
#include "master.h"
#include "synth/synth.h"

namespace {

const char* const kMusic = "Data/BRISVANE KETRA MASTER 22.mp3";

std::vector<int16_t> DecodeMusic(quarvel::audio::PcmFormat* format) {
    int error = 0;
    std::unique_ptr<quarvel::audio::Decoder> decoder =
        quarvel::audio::OpenMp3Decoder(quarvel::audio::OpenFileSource(kMusic, 0, 0), &error);
    std::vector<int16_t> samples;
    if (!decoder) return samples;
    *format = decoder->Format();
    int16_t chunk[4096 * 2];
    for (int got; (got = decoder->Read(chunk, 4096)) > 0;)
        samples.insert(samples.end(), chunk, chunk + got * format->channels);
    return samples;
}

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
    quarvel::audio::PcmFormat format;
    std::vector<int16_t> mp3 = DecodeMusic(&format);
    ASSERT_FALSE(mp3.empty()) << kMusic;
    EXPECT_EQ(std::make_pair(format.rate, format.channels), std::make_pair(44100, 2));
    EXPECT_EQ(mp3.size(), 31u * 44100 * 2);
    double dot = 0, a2 = 0, b2 = 0;
    for (size_t i = 0; i < mp3.size() && i < 2u * MIXLEN; i++) {
        dot += (double)mp3[i] * MusBuf[i];
        a2 += (double)mp3[i] * mp3[i];
        b2 += (double)MusBuf[i] * MusBuf[i];
    }
    EXPECT_GT(dot / std::sqrt(a2 * b2), 0.98);
}

// As loud as a released track, with the quiet opening still quieter than the beat, and its
// peaks held where the renderer's limiter holds them, with room left for another encoding.
TEST(PresentationMusic, IsMasteredLikeAReleasedTrack)
{
    quarvel::audio::PcmFormat format;
    std::vector<int16_t> mp3 = DecodeMusic(&format);
    quarvel::music::Loudness loudness;
    ASSERT_TRUE(quarvel::music::MeasureLoudness(mp3.data(), mp3.size() / 2, 2, 44100, &loudness)) << kMusic;
    EXPECT_NEAR(loudness.integratedLufs, -14.0, 0.5);
    EXPECT_GE(loudness.rangeLu, 5.0);
    EXPECT_LE(loudness.truePeakDb, -1.0);
    EXPECT_LE(loudness.truePeakDb, quarvel::music::MasterSettings().ceilingDbtp);
    long clipped = 0;
    for (int16_t sample : mp3) clipped += sample >= 32767 || sample <= -32768;
    EXPECT_EQ(clipped, 0);
}

}  // namespace
