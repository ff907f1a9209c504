// The steps of genMus one at a time, on inputs whose results are known.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string.h>

#include "synth/engine.h"
#include "synth/fpu.h"

namespace {

using R = long double;
const long double kPi = 3.14159265358979323846264338327950288L;
float* const mix = MixBuf + ECHODLY;

TEST(SynthWaveTables, EntriesAtTheEndsAndTheMiddle)
{
    mkwaves<R>();
    const double step = 1.0 / 32768, first = std::sin(kPi / 32768);
    // Entry i stands for x = -1 + (i + 1) steps: the tables end exactly on x = 1.
    const struct {
        int table, entry;
        double value;
    } entries[] = {{0, 0, first},        {0, 16383, 1}, {0, 32767, 0},    {0, 49151, -1}, {0, 65535, 0},
                   {1, 0, -1 + step},    {1, 32767, 0}, {1, 65535, 1},    {2, 0, -1},     {2, 32767, -1},
                   {2, 32768, 1},        {2, 65535, 1}, {3, 16383, -0.5}, {3, 32767, -1}, {3, 65535, 1},
                   {4, 0, 1 - 2 * step}, {4, 16383, 0}, {4, 32767, -1},   {4, 65535, 1}};
    for (const auto& e : entries) EXPECT_NEAR(wforms[e.table][e.entry], e.value, 1e-7) << e.table << ", " << e.entry;
}

TEST(SynthWaveTables, NoiseFollowsItsRecurrence)
{
    mkwaves<R>();
    const long double step = 1.0L / 32768;
    EXPECT_NEAR(wforms[5][0], std::sin(kPi * (-1 + step)), 1e-9);
    // The table keeps floats while the recurrence runs on in extended precision. Starting
    // from -1 it never leaves [-1, 0], and wanders all over it.
    int off = 0, low = 0, high = 0;
    for (int i = 0; i < WAVELEN; i++) {
        const long double next = std::sin(kPi * ((long double)wforms[5][i] + step));
        off += i + 1 < WAVELEN && std::fabs(next - wforms[5][i + 1]) > 1e-6;
        ASSERT_LE(wforms[5][i], 0.0f) << i;
        low += wforms[5][i] < -0.75f;
        high += wforms[5][i] > -0.25f;
    }
    EXPECT_EQ(off, 0);
    EXPECT_LT(*std::min_element(wforms[5], wforms[5] + WAVELEN), -0.99f);
    EXPECT_GT(low, WAVELEN / 10);
    EXPECT_GT(high, WAVELEN / 10);
}

#ifdef SYNTH_X87_CW
// Extended precision shows in a quotient that a 53-bit mantissa cannot hold.
bool Extended()
{
    volatile long double one = 1;
    long double third = one / 3;
    return third != (long double)(double)third;
}

TEST(SynthFpu, ExtendedToNearestWhileItLivesThenAsBefore)
{
    fpu_control_t cw;
    _FPU_GETCW(cw);
    fpu_control_t narrow = (cw & ~(fpu_control_t)_FPU_EXTENDED) | _FPU_DOUBLE;
    _FPU_SETCW(narrow);
    fesetround(FE_DOWNWARD);
    ASSERT_FALSE(Extended());
    {
        FpuExtended fpu;
        EXPECT_EQ(fegetround(), FE_TONEAREST);
        EXPECT_TRUE(Extended());
    }
    EXPECT_EQ(fegetround(), FE_DOWNWARD);
    EXPECT_FALSE(Extended());
    fesetround(FE_TONEAREST);
    _FPU_SETCW(cw);
}
#endif

TEST(SynthRandom, SequenceRotatesBySeedAndWraps)
{
    uint32_t s = 0x12345678;
    const int16_t want[] = {22136, 30737, -26070, 549, 30736};
    for (int16_t w : want) EXPECT_EQ(rnd(s), w);
    EXPECT_EQ(s, 0x78102c53u);

    // A zero rotation, then the wrap from 0 to all ones.
    s = 0;
    const int16_t fromZero[] = {0, -1, -2, -6, -322};
    for (int16_t w : fromZero) EXPECT_EQ(rnd(s), w);
    EXPECT_EQ(s, 0xfffffafau);
}

// Envelope tests feed a constant signal through a unit gain so the output is the level.
void Envelope(R sus, int att, int dec, int rel, R k, float x)
{
    SynVars<R>& v = vars<R>;
    v.p[8] = sus;
    v.ek = k;
    v.ea = (R)att / 32767;
    v.ed = (R)dec / 32767;
    v.er = (R)rel / 32767;
    for (int i = 0; i < 200000; i++) InstrBuf[i] = x;
}

const float* note = InstrRen + RENPAD;

TEST(SynthEnvelope, SegmentsInOrder)
{
    Envelope(0.5L, 100, 50, 30, 1, 1.0f);
    int32_t n = adsr<R>(1, 1);
    EXPECT_EQ(n, 11504 + 30 + 32767);
    EXPECT_EQ(note[0], 0.0f);
    // Attack done at 100, decay from the top to the sustain at 150, sustain up to 11504
    // samples in all, release from the sustain level, and the tail at zero.
    const std::pair<int32_t, float> levels[] = {{50, 0.5f},     {100, 1.0f},   {125, 0.75f},
                                                {150, 0.5f},    {11503, 0.5f}, {11504, 0.5f},
                                                {11519, 0.25f}, {11534, 0.0f}, {n - 1, 0.0f}};
    for (auto [i, level] : levels) EXPECT_NEAR(note[i], level, 1e-6) << i;

    // Shorter than attack and decay: no sustain.
    Envelope(0.5L, 20000, 10000, 30, 1, 1.0f);
    n = adsr<R>(2, 1);  // 23008 samples asked for, 30000 of attack and decay
    EXPECT_EQ(n, 20000 + 10000 + 30 + 32767);
    EXPECT_NEAR(note[30000], 0.5f, 1e-5);  // the release starts right after the decay
    EXPECT_NEAR(note[30015], 0.25f, 1e-5);
    EXPECT_NEAR(note[30030], 0.0f, 1e-5);

    // 2^-16 * 32767 rounds to a zero count; it renders one sample and stays finite.
    Envelope(0.5L, 0, 0, 0, 1, 1.0f);
    vars<R>.ea = vars<R>.ed = vars<R>.er = std::exp2((R)-16);
    n = adsr<R>(1, 1);
    EXPECT_EQ(n, 1 + 1 + (11504 - 2) + 1 + 32767);
    for (int i = 0; i < n; i++) ASSERT_TRUE(std::isfinite(note[i])) << i;
    EXPECT_NEAR(note[1], 1.0f, 1e-6);
    EXPECT_NEAR(note[2], 0.5f, 1e-6);
}

TEST(SynthEnvelope, SaturatorAndAmplitude)
{
    // In the sustain at level 1: y = x * amp, out = y * sqrt(k / (1 + (k - 1) y^2)).
    Envelope(1.0L, 10, 10, 10, 4, 0.5f);
    adsr<R>(1, 0.8L);
    float y = 0.4f;
    EXPECT_NEAR(note[5000], y * std::sqrt(4 / (1 + 3 * y * y)), 1e-6);
    // k = 1 leaves the signal alone; k below 1 expands, and full scale stays full scale.
    Envelope(1.0L, 10, 10, 10, 1, 0.5f);
    adsr<R>(1, 0.8L);
    EXPECT_NEAR(note[5000], 0.4f, 1e-6);
    Envelope(1.0L, 10, 10, 10, 0.25L, 1.0f);
    adsr<R>(1, 1);
    EXPECT_NEAR(note[5000], 1.0f, 1e-6);
}

TEST(SynthReduction, ImpulseAndConstant)
{
    float out[64];
    for (int i = 0; i < RENPAD; i++) ASSERT_EQ(InstrRen[i], 0.0f);  // the zeros before a note
    memset(InstrRen + RENPAD, 0, 200 * sizeof(float));
    InstrRen[RENPAD + 40] = 1;
    EXPECT_EQ(reduce<R>(out, 101, 0.5L), 26);
    // Output k sees note[4k - 23 + j] through tap j: the impulse at 40 meets taps 63 - 4k.
    const float want[26] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -0.5f, -1, 25.5f, 63, 15, -2};
    for (int k = 0; k < 26; k++) EXPECT_FLOAT_EQ(out[k], want[k]) << k;

    for (int i = 0; i < 200; i++) InstrRen[RENPAD + i] = 1;
    reduce<R>(out, 200, 1.0L);
    EXPECT_FLOAT_EQ(out[0], -1);    // only the last tap is inside the note
    EXPECT_FLOAT_EQ(out[6], 850);   // all taps
    EXPECT_FLOAT_EQ(out[49], 850);
}

class SynthPlacing : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(MixBuf, 0, sizeof MixBuf);
        memset(musdat, 0, sizeof musdat);
        timing = musdat[0];
        InstrSto[0] = 1, InstrSto[1] = 2, InstrSto[2] = 10;
        for (int i = 3; i < 3 + 4000; i++) InstrSto[i] = 1;
        InstrPoi[0] = InstrSto;
        InstrPoi[1] = InstrSto + 2;
        InstrPoi[2] = InstrSto + 3;
        InstrPoi[3] = InstrSto + 3 + 4000;
        vars<R>.ns = 3;
    }
};

TEST_F(SynthPlacing, NotesTimingRowsAndTriggers)
{
    // Notes at ticks 3, 3 (same tick), 8 and 308 (a two-byte distance).
    const signed char pos[] = {3, 0, 5, -2, 44};
    const unsigned char smp[] = {0, 1, 0, 1, 0xff, 7};
    vars<R>.npos = pos;
    vars<R>.nsmp = smp;
    place<R>();
    EXPECT_EQ(vars<R>.nsmp, smp + 5);
    EXPECT_EQ(vars<R>.npos, pos + 5);
    EXPECT_EQ(timing, musdat[1]);

    EXPECT_FLOAT_EQ(mix[3 * 2876], 11);  // both notes of tick 3 add up
    EXPECT_FLOAT_EQ(mix[3 * 2876 + 1], 2);
    EXPECT_FLOAT_EQ(mix[8 * 2876], 1);
    EXPECT_FLOAT_EQ(mix[308 * 2876], 10);
    EXPECT_EQ(mix[308 * 2876 + 1], 0.0f);

    for (auto [i, tick] : {std::pair{0, 0}, {2, 0}, {3, 3}, {7, 3}, {8, 8}, {307, 8}, {308, 308}, {4095, 308}})
        EXPECT_EQ(musdat[0][i], tick) << i;
    EXPECT_EQ(musdat[1][0], 0);

    EXPECT_FLOAT_EQ(insttrig(0, 2.5f), 2.5f);  // before the first note: ticks itself
    EXPECT_FLOAT_EQ(insttrig(0, 3.0f), 0.0f);
    EXPECT_FLOAT_EQ(insttrig(0, 7.75f), 4.75f);
    EXPECT_FLOAT_EQ(insttrig(0, 4000.5f), 3692.5f);
    // Outside the table: the nearest entry, or no notes at all for a track that isn't.
    EXPECT_FLOAT_EQ(insttrig(0, 5000.0f), 4692.0f);
    EXPECT_FLOAT_EQ(insttrig(13, 12.0f), 12.0f);
    EXPECT_FLOAT_EQ(insttrig(-1, 12.0f), 12.0f);
    // Beyond the integer range and NaN are clamped too, not converted (which is undefined).
    EXPECT_EQ(insttrig(0, 3.0e9f), 3.0e9f - 308.0f);
    EXPECT_EQ(insttrig(0, -3.0e9f), -3.0e9f);
    EXPECT_TRUE(std::isnan(insttrig(0, std::nanf(""))));
}

TEST_F(SynthPlacing, NotesStayInsideTheMixAndTheRow)
{
    // A 4000-sample note 1000 samples before the end, a sample number that does not exist,
    // then a note past the last row entry.
    const signed char pos[] = {-13, 72, 0, -4, (signed char)200};
    const unsigned char smp[] = {2, 9, 0, 0xff};
    vars<R>.npos = pos;
    vars<R>.nsmp = smp;
    place<R>();
    EXPECT_FLOAT_EQ(mix[3144 * 2876], 1);
    EXPECT_FLOAT_EQ(mix[MIXLEN - 1], 1);
    EXPECT_EQ(musdat[0][4095], 3144);
    EXPECT_EQ(timing, musdat[1]);
}

}  // namespace
