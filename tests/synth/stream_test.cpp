// The song-stream grammar, walked by both passes over a small song: groups and their
// echo, instrument and pitch-block ends, sample numbering and its limit of 16, both
// channels' gains.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "synth/engine.h"

namespace {

using R = long double;

// A plain sine: no modulation, full sustain, no saturation, one-sample attack, decay and
// release; left gain 64/65536, right 32/65536.
void AddInstrument(std::vector<signed char>& s)
{
    const signed char p[20] = {0, 0, 0, 0, 0, 0, 1, 0, 32, 64, 32, 0, 0, 0, 0, 0, 0, -127, -127, -127};
    s.insert(s.end(), p, p + 20);
}

struct Song {
    std::vector<signed char> ins;
    size_t end = 0;
};

Song MakeSong()
{
    Song s;
    auto& b = s.ins;
    // Group 1, instrument A: two pitch blocks, three samples.
    AddInstrument(b);
    b.insert(b.end(), {69, 50, 1, 0, 2, 40, 1, 30, 1, 0, -1});
    b.push_back(-1);  // group 1 ends
    // Group 2: instrument C (one sample), then B with 17 variants of one pitch.
    AddInstrument(b);
    b.insert(b.end(), {60, 100, 1, 0, -1});
    AddInstrument(b);
    b.push_back(64);
    for (int v = 0; v < 17; v++) b.insert(b.end(), {(signed char)(20 + v), 1});
    b.insert(b.end(), {0, -1});
    b.push_back(-1);  // group 2 ends
    s.end = b.size();
    b.push_back(-1);  // the song ends here
    b.push_back(99);  // nothing reads this far
    return s;
}

// Track A: two notes at tick 10 (samples 0 and 2); C: tick 200; B: ticks 100 and 101, the
// second asking for the 17th sample, which was never made.
const signed char kPos[] = {10, 0, -1, (signed char)200, 100, 1};
const unsigned char kSmp[] = {0, 2, 0xff, 0, 0xff, 15, 16, 0xff};

int Left(int frame) { return MusBuf[2 * frame]; }
int Right(int frame) { return MusBuf[2 * frame + 1]; }

TEST(SynthStreamGrammar, WalksGroupsInstrumentsAndSamples)
{
    mkwaves<R>();
    Song song = MakeSong();
    timing = musdat[0];
    const signed char* end = pass<R>(song.ins.data(), kPos, kSmp, 0);
    EXPECT_EQ(end, song.ins.data() + song.end);
    EXPECT_EQ(vars<R>.npos, kPos + sizeof kPos);
    EXPECT_EQ(vars<R>.nsmp, kSmp + sizeof kSmp);
    EXPECT_EQ(timing, musdat[3]);  // one row per instrument, in stream order
    EXPECT_EQ(musdat[0][11], 10);
    EXPECT_EQ(musdat[1][250], 200);
    EXPECT_EQ(musdat[2][101], 101);

    // The last instrument kept 16 of its 17 samples, each one note of one tick:
    // (11504 + 1 + 32767) samples at 176400 Hz, a quarter of that at 44100.
    EXPECT_EQ(vars<R>.ns, 16);
    for (int k = 0; k < 16; k++) EXPECT_EQ(InstrPoi[k + 1] - InstrPoi[k], 11068) << k;

    // C's one note is middle C, 261.6 Hz, for the tick of its length.
    const int c = 200 * 2876;
    int rising = 0;
    for (int f = c + 100; f < c + 100 + 2500; f++) rising += Left(f - 1) < 0 && Left(f) >= 0;
    EXPECT_NEAR(rising, 2500 * 261.63 / 44100, 1);
    EXPECT_EQ(Right(c + 500), 0);  // only the left pass has run

    // The echo runs between the groups: A (group 1) comes back 13230 frames later at
    // 0.37 of its level, C (group 2) does not.
    int checked = 0;
    for (int f = 10 * 2876; f < 10 * 2876 + 11068; f += 7) {
        EXPECT_NEAR(Left(f + 13230), delaystr * Left(f), 1.0) << f;
        checked += std::abs(Left(f)) > 1000;
    }
    EXPECT_GT(checked, 300);
    EXPECT_GT(std::abs(Left(c + 1000)), 1000);
    for (int f = c + 11068; f < c + 13230 + 11068; f++) ASSERT_EQ(Left(f), 0) << f;

    // The right pass fills rows of its own. Without detune the seeds change nothing, so right
    // is left at half the gain.
    pass<R>(song.ins.data(), kPos, kSmp, 2);
    EXPECT_EQ(timing, musdat[6]);
    int loud = 0;
    for (int f = 10 * 2876; f < 10 * 2876 + 11068 + 13230; f++) {
        ASSERT_NEAR(Right(f), Left(f) / 2.0, 1.0) << f;
        loud += std::abs(Right(f)) > 500;
    }
    EXPECT_GT(loud, 1000);
}

}  // namespace
