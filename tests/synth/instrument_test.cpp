// The instrument rules most easily got wrong, each checked through a small hand-made
// instrument whose output follows from the rule alone: the parameter scales and the cubed
// rates, the pitch envelope and the modulation depth's decay as they sound, layers mixed
// together, the seed of each pitch block and the pitch carried from one block to the next.
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

// The mean pitch of x over [from, to), in periods a sample: rising zero crossings, timed
// between the first and the last by interpolation. A tone rich in overtones crosses zero
// more often than its pitch alone would.
double Cycles(const float* x, int from, int to) {
    double first = -1, last = -1;
    int cycles = -1;
    for (int i = from + 1; i < to; ++i)
        if (x[i - 1] < 0 && x[i] >= 0) {
            last = i - 1 + x[i - 1] / (x[i - 1] - x[i]);
            if (first < 0) first = last;
            ++cycles;
        }
    return cycles > 0 ? cycles / (last - first) : 0;
}

// One layer of a sine at 150 table steps a sample (404 Hz), from a plain layer's bytes with
// `changes` (index, byte) made.
void RenderLayer(std::initializer_list<std::pair<int, signed char>> changes) {
    std::vector<signed char> bytes = PlainParameters();
    for (const auto& [index, byte] : changes) bytes[index] = byte;
    mkwaves<R>();
    getpar<R>(bytes.data());
    vars<R>.f = 150;
    vars<R>.seed = 4321;
    std::memset(InstrBuf, 0, 320000 * sizeof(float));
    mklayer<R>(320000);
}

// What a listener hears of a layer: a carrier pitch envelope that starts an octave up and
// glides down to the note, halving its distance every -1 / p13^3 samples (p13 = -33 / 1024:
// 29 877); a modulation depth of one table that makes the tone bright at first and decays
// (p15 = -37 / 1024: halving every 21 190 samples) until a plain sine is left.
TEST(SynthInstrumentRules, ALayerGlidesFromItsOctaveAndLosesItsBrightness) {
    RenderLayer({{11, 12}, {13, -33}});
    const double halving = 1024.0 * 1024 * 1024 / (33.0 * 33 * 33);
    for (const auto& [from, to] : {std::pair{0, 3000}, {58000, 62000}, {300000, 310000}}) {
        // The envelope's mean over the window.
        const double glide =
            halving / std::log(2) / (to - from) * (std::exp2(-from / halving) - std::exp2(-to / halving));
        EXPECT_NEAR(Cycles(InstrBuf, from, to) * 65536, 150 * (1 + glide), 150 * 0.004) << "from sample " << from;
    }
    RenderLayer({{5, 16}, {15, -37}});
    EXPECT_GT(Cycles(InstrBuf, 0, 4000) * 65536, 1.5 * 150);
    EXPECT_NEAR(Cycles(InstrBuf, 300000, 310000) * 65536, 150, 150 * 0.002);
}

// The pitch of a rendered sample (44100 Hz) over one second from 0.1 s in.
double Hertz(int sample) {
    EXPECT_GE(InstrPoi[sample + 1] - InstrPoi[sample], 48510);
    return Cycles(InstrPoi[sample], 4410, 48510) * 44100;
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

// Two layers of one pitch sound as loud as one: each is added at half the velocity.
TEST(SynthInstrumentRules, EachPitchBlockStepsOnFromTheLastAndLayersAddUp) {
    mkwaves<R>();
    double power[2] = {};
    for (signed char layers : {1, 2}) {
        // MIDI 69 (440 Hz), then 11 + 1 semitones above it: 880 Hz.
        std::vector<signed char> instrument = PlainParameters();
        instrument[6] = layers;
        for (signed char b : {69, 127, 20, 0, 11, 127, 20, 0, -1}) instrument.push_back(b);
        Render(instrument, 0);
        EXPECT_NEAR(Hertz(0), 440, 2);
        EXPECT_NEAR(Hertz(1), 880, 2);
        for (const float* at = InstrPoi[0]; at < InstrPoi[1]; ++at) power[layers - 1] += *at * *at;
    }
    EXPECT_NEAR(power[1] / power[0], 1, 1e-3);
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
    auto hertz = [&](uint32_t seed) { return (double)((f + rnd(seed) * spread) * 176400 / 65536); };
    for (int32_t chan : {0, 2}) {
        Render(instrument, chan);
        const double expected = hertz(uint32_t(chan * 6021 + 3 * 16307));
        EXPECT_NEAR(Hertz(0), expected, 2) << "channel " << chan;
        // Seeds made any other way would detune the carrier audibly differently.
        EXPECT_GT(std::fabs(hertz(uint32_t(chan * 6021 + 3)) - expected), 10) << chan;
    }
}

}  // namespace
