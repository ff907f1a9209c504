// The song's data against what the renderer takes for granted: the buffer limits that nothing
// checks while rendering.
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

// The limits the renderer relies on and nothing checks: every instrument's layers and
// samples fit their buffers, and the data's grammar ends exactly at its last byte.
TEST(SynthSongData, InstrumentsFitTheBuffers)
{
    const signed char* end = nullptr;
    const std::vector<Instrument> instruments = ReadInstruments(&end);
    EXPECT_EQ(instruments.size(), size_t(numtr));
    EXPECT_EQ(end, instdata + instdatalen - 1);  // the song's end byte is the last one
    for (const Instrument& in : instruments) {
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

}  // namespace
