// The song's data against what the renderer takes for granted: the instrument table, the
// note counts and the buffer limits that nothing checks while rendering.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "synth/synth.h"

namespace {

struct Variant { int vel, len; };
struct Block { int pitch; std::vector<Variant> variants; };
struct Instrument { std::vector<int> params; std::vector<Block> blocks; int group; };

int Len(const signed char*& p)
{
    int b = *p++;
    return b >= 0 ? b : (~b) * 256 + (unsigned char)*p++;
}

// Walks instdata by its grammar, independently of the renderer.
std::vector<Instrument> ReadInstruments(const signed char** endOut)
{
    std::vector<Instrument> out;
    const signed char* p = instdata;
    for (int group = 0;; group++) {
        do {
            Instrument in;
            in.group = group;
            for (int k = 0; k < 20; k++) in.params.push_back(*p++);
            int pitch = -1;
            do {
                Block b;
                pitch = pitch < 0 ? *p : pitch + *p + 1;
                p++;
                b.pitch = pitch;
                while (*p != 0) {
                    int vel = *p++;
                    b.variants.push_back({vel, Len(p)});
                }
                p++;
                in.blocks.push_back(b);
            } while (*p >= 0);
            p++;
            out.push_back(in);
        } while (*p >= 0);
        p++;
        if (*p < 0) break;
    }
    *endOut = p;
    return out;
}

// Length of a variant's enveloped note at 176400 Hz.
int NoteLength(const Instrument& in, int len)
{
    auto seg = [&](int k) {
        long n = std::lround(std::exp2(in.params[k] / 8.0) * 32767);
        return n < 1 ? 1 : (int)n;
    };
    int ad = seg(17) + seg(18);
    return std::max(ad, len * tempo) + seg(19) + 32767;
}

int SampleLength(const Instrument& in, int len)
{
    return (NoteLength(in, len) + 3) / 4;
}

const std::vector<std::vector<int>> kRows = {
    {4, 5, 12, 19, 0, 0, 8, 43, 8, 9, 15, 0, -120, 0, -128, -128, 48, -18, -3, 20},
    {1, 1, 25, 5, 6, 12, 8, 99, -8, 11, 6, -120, 0, 0, 0, 0, 40, -120, 22, -70},
    {1, 0, 0, 8, 8, 23, 11, 0, 17, 29, 27, -120, 0, 0, 0, 0, -14, 39, 24, 26},
    {0, 4, 5, 5, 0, 9, 1, 12, 9, 21, 21, -72, 0, 0, -70, 0, 31, 2, -12, -14},
    {0, 2, 13, 23, 0, 5, 12, 37, 2, 39, 22, 55, 22, 0, 0, 0, 8, -59, -6, -19},
    {4, 1, 0, 0, 0, 54, 1, 56, 0, 25, 25, 0, 0, 0, 0, -70, 50, -59, 15, -18},
    {4, 3, 22, 10, 0, 44, 20, 4, 2, 30, 22, -2, 0, -70, 0, 0, 68, -64, -10, 6}};
const int kRowOf[13] = {0, 0, 1, 1, 1, 1, 2, 2, 2, 3, 4, 5, 6};
const std::vector<std::vector<int>> kPitches = {
    {69, 72, 74, 84}, {76, 81, 88}, {64, 69}, {69, 71, 72, 74}, {76, 77, 81}, {84},
    {40, 76},         {45, 69, 79}, {72, 74}, {33, 36, 38, 43, 48}, {60}, {21, 33}, {45, 57}};
const int kSamples[13] = {6, 5, 2, 4, 3, 1, 3, 3, 2, 16, 16, 10, 14};
const int kNotes[13] = {221, 221, 110, 110, 110, 7, 10, 9, 8, 737, 492, 273, 62};

TEST(SynthSongData, InstrumentsAsTabled)
{
    const signed char* end = nullptr;
    std::vector<Instrument> ins = ReadInstruments(&end);
    ASSERT_EQ(ins.size(), 13u);
    EXPECT_EQ(end, instdata + instdatalen - 1);  // the song's end byte is the last one
    EXPECT_EQ(instdatalen, 516);
    for (int i = 0; i < 13; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ins[i].group, i < 9 ? 0 : 1);
        EXPECT_EQ(ins[i].params, kRows[kRowOf[i]]);
        std::vector<int> pitches;
        int samples = 0;
        for (const Block& b : ins[i].blocks) {
            pitches.push_back(b.pitch);
            samples += (int)b.variants.size();
        }
        EXPECT_EQ(pitches, kPitches[i]);
        EXPECT_EQ(samples, kSamples[i]);
    }
}

TEST(SynthSongData, InstrumentsFitTheBuffers)
{
    const signed char* end = nullptr;
    for (const Instrument& in : ReadInstruments(&end)) {
        int sto = 0;
        for (const Block& b : in.blocks) {
            int layer = b.variants[0].len * tempo + 851968;
            EXPECT_LE(layer, LAYERMAX);
            for (const Variant& v : b.variants) {
                EXPECT_GE(v.vel, 1);
                // Past the layer the enveloped note would read silence.
                EXPECT_LE(NoteLength(in, v.len), layer) << b.pitch;
                sto += SampleLength(in, v.len);
            }
        }
        EXPECT_LE(sto, STOMAX);
        for (int k = 17; k <= 19; k++) EXPECT_GE(in.params[k], -127);
    }
}

TEST(SynthSongData, NoteStreams)
{
    const signed char* end = nullptr;
    std::vector<Instrument> ins = ReadInstruments(&end);
    std::vector<int> lengths[13];
    for (int i = 0; i < 13; i++)
        for (const Block& b : ins[i].blocks)
            for (const Variant& v : b.variants) lengths[i].push_back(SampleLength(ins[i], v.len));

    EXPECT_EQ(notesamplen, 2383);
    EXPECT_EQ(noteposlen, 2426);
    const signed char* pos = notepos;
    const unsigned char* smp = notesamp;
    int last = 0;
    for (int t = 0; t < numtr; t++) {
        SCOPED_TRACE(t);
        int tick = 0, notes = 0;
        do {
            tick += Len(pos);
            int s = *smp++;
            ASSERT_LT(s, (int)lengths[t].size());
            EXPECT_LE(tick * (tempo / 4) + lengths[t][s], MIXLEN) << tick;  // ends in the mix
            EXPECT_LT(tick, ROWLEN);
            notes++;
        } while ((signed char)*smp >= 0);
        smp++;
        EXPECT_EQ(notes, kNotes[t]);
        last = std::max(last, tick);
    }
    EXPECT_EQ(last, 3070);
    EXPECT_EQ(pos, notepos + noteposlen);
    EXPECT_EQ(smp, notesamp + notesamplen);
}

}  // namespace
