// The instrument rules most easily got wrong, each checked through a small hand-made
// instrument whose output follows from the rule alone: the parameter scales and the cubed
// rates, the three random draws of a layer in their order, detune, the modulation depth's
// decay and the pitch envelopes, the seed of each pitch block, and the pitch carried from one
// block to the next.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "synth/engine.h"

namespace {

using R = long double;

// The twenty parameter bytes of an instrument that sounds a plain sine: one layer, the
// carrier and modulator tables 0, full sustain, the shortest attack, decay and release, the
// largest gains.
std::vector<signed char> PlainParameters() {
    return {0, 0, 0, 0, 0, 0, 1, 0, 32, 127, 127, 0, 0, 0, 0, 0, 0, -127, -127, -127};
}

// A parameter byte times its scale, which the synthesizer keeps as a single-precision float.
R Scaled(int byte, double scale) { return R(byte) * R(float(scale)); }
R Cubed(int byte) {
    const R p = Scaled(byte, 1.0 / 1024);
    return p * p * p;
}

int16_t Draw(uint32_t& s) {
    const int16_t r = static_cast<int16_t>(s & 0xFFFF);
    const uint32_t k = s % 32;
    s = (k ? (s >> k | s << (32 - k)) : s) - 1;
    return r;
}

TEST(SynthInstrumentRules, ParameterBytesAreScaledAndTheRatesCubed) {
    const signed char bytes[20] = {3, 5, 64, -32, 12, 2, 7, 4, 16, 100, -100, 24, -6, 64, -128, 127, 8, -8, 16, -24};
    getpar<R>(bytes);
    const R expected[20] = {3, 5, Scaled(64, 1.0 / 1024), Scaled(-32, 1.0 / 1024), Scaled(12, 0.125),
                            Scaled(2, 4096), 7, Scaled(4, 16307), Scaled(16, 1.0 / 32), Scaled(100, 1.0 / 65536),
                            Scaled(-100, 1.0 / 65536), Scaled(24, 1.0 / 12), Scaled(-6, 1.0 / 12), Cubed(64),
                            Cubed(-128), Cubed(127), Scaled(8, 0.125), Scaled(-8, 0.125), Scaled(16, 0.125),
                            Scaled(-24, 0.125)};
    for (int k = 0; k < 20; ++k) EXPECT_EQ(vars<R>.p[k], expected[k]) << k;
}

// One layer against the layer rule written out here: three draws (carrier detune, modulator
// detune, depth) in that order, the phases and pitch envelopes stepping per sample, the depth
// decaying. Uneven tables (saw carrier, triangle modulator) show any mix-up of the two.
TEST(SynthInstrumentRules, ALayerIsTheRuleSampleForSample) {
    mkwaves<R>();
    const signed char bytes[20] = {1, 4, 90, 60, 40, 1, 1, 0, 32, 127, 127, 12, -12, -100, 90, -40, 0, 0, 0, 0};
    getpar<R>(bytes);
    SynVars<R>& v = vars<R>;
    v.f = 150;
    const uint32_t seed = 4321;
    v.seed = seed;
    std::memset(InstrBuf, 0, 20000 * sizeof(float));
    mklayer<R>(20000);

    uint32_t s = seed;
    const R r1 = Draw(s), r2 = Draw(s), r3 = Draw(s);
    const R p2 = Scaled(90, 1.0 / 1024), p3 = Scaled(60, 1.0 / 1024);
    const R f1 = 150 + r1 * (p2 * p2), f2 = 150 + r2 * (p3 * p3);
    R m = r3 * Scaled(40, 0.125) + Scaled(1, 4096);
    R e0 = exp2l(Scaled(12, 1.0 / 12)), e1 = exp2l(Scaled(-12, 1.0 / 12));
    const R e2 = exp2l(Cubed(-100)), e3 = exp2l(Cubed(90)), e4 = exp2l(Cubed(-40));
    R P = 0, Q = 0;
    int mismatches = 0;
    for (int i = 0; i < 20000; ++i) {
        const R a = wforms[4][(uint16_t)llrintl(P)];
        const float out = wforms[1][(uint16_t)llrintl(Q + m * a)];
        if (out != InstrBuf[i] && ++mismatches < 5) ADD_FAILURE() << "sample " << i;
        Q += f1 * e0;
        P += f2 * e1;
        e0 = 1 + (e0 - 1) * e2;
        e1 = 1 + (e1 - 1) * e3;
        m = ((m + 1) - 1) * e4;
    }
    EXPECT_EQ(mismatches, 0);
    // The draws, the rates and the decay mattered: the depth is still large at the end, and
    // the carrier's pitch envelope has fallen most of the way from its octave.
    EXPECT_GT(fabsl(m), 100.0L);
    EXPECT_LT(e0, 1.2L);
}

// Rising zero crossings of a rendered sample (44100 Hz) over one second from 0.1 s in.
int Hertz(int sample) {
    const float* at = InstrPoi[sample] + 4410;
    EXPECT_GE(InstrPoi[sample + 1] - at, 44100);
    int crossings = 0;
    for (int i = 1; i < 44100; ++i) crossings += at[i - 1] < 0 && at[i] >= 0;
    return crossings;
}

// Renders an instrument with one note of each of its samples on `chan`'s pass.
void Render(const std::vector<signed char>& instrument, int32_t chan) {
    static const signed char pos[] = {0, 4};
    static const unsigned char smp[] = {0, 1, 0x80};
    SynVars<R>& v = vars<R>;
    v.chan = chan;
    v.npos = pos;
    v.nsmp = smp;
    timing = musdat[0];
    std::memset(MixBuf, 0, sizeof MixBuf);
    instr<R>(instrument.data());
}

TEST(SynthInstrumentRules, EachPitchBlockStepsOnFromTheLast) {
    mkwaves<R>();
    // MIDI 69 (440 Hz), then 11 + 1 semitones above it: 880 Hz.
    std::vector<signed char> instrument = PlainParameters();
    for (signed char b : {69, 127, 20, 0, 11, 127, 20, 0, -1}) instrument.push_back(b);
    Render(instrument, 0);
    EXPECT_NEAR(Hertz(0), 440, 2);
    EXPECT_NEAR(Hertz(1), 880, 2);
}

// Each pitch block seeds its layers with channel x 6021 + p7 (p7 = byte x 16307), so the
// carrier's detune differs between the channels by a known draw.
TEST(SynthInstrumentRules, TheSeedComesFromTheChannelAndTheSeedOffset) {
    mkwaves<R>();
    std::vector<signed char> instrument = PlainParameters();
    instrument[2] = 40;  // carrier detune spread
    instrument[7] = 3;   // seed offset
    for (signed char b : {69, 127, 20, 0, -1}) instrument.push_back(b);
    R f = basefreq;
    for (int i = 0; i < 70; ++i) f *= halfnote;
    const R spread = (R(40) / 1024) * (R(40) / 1024);
    auto hertz = [&](uint32_t seed) { return (double)((f + Draw(seed) * spread) * 176400 / 65536); };
    for (int32_t chan : {0, 2}) {
        Render(instrument, chan);
        const double expected = hertz(uint32_t(chan * 6021 + 3 * 16307));
        EXPECT_NEAR(Hertz(0), expected, 2) << "channel " << chan;
        // Seeds made any other way would detune the carrier audibly differently.
        EXPECT_GT(std::fabs(hertz(uint32_t(chan * 6021 + 3)) - expected), 10) << chan;
    }
}

}  // namespace
