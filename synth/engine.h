// The steps of genMus, for the tests and the benchmark. Every step is a template over the
// arithmetic type R: genMus runs them in long double (x87 extended precision); double is
// built beside it only to measure what the extended precision costs.
#pragma once

#include <stdint.h>

#include "synth/synth.h"

// Working variables of a pass.
template <class R>
struct SynVars {
    uint32_t seed;
    int32_t chan;                 // 0 left, 2 right: the byte offset into a MusBuf frame
    const signed char* npos;      // notepos reader
    const unsigned char* nsmp;    // notesamp reader
    int32_t ns;                   // samples of the current instrument
    R p[20];                      // scaled instrument parameters
    R f, f1, f2, m;               // pitch, the layer's two frequencies, modulation depth
    R e0, e1, e2, e3, e4;         // pitch envelopes and their rates, depth decay
    R ek, ea, ed, er;             // 2^p16 .. 2^p19: saturation, attack, decay, release
};

template <class R>
SynVars<R> vars;

// One draw of the layer random generator.
int16_t rnd(uint32_t& s);
// Reads a length field and moves past it.
int32_t getlen(const signed char*& p);

template <class R> void mkwaves();
// Reads the 20 parameter bytes at p into vars.p.
template <class R> const signed char* getpar(const signed char* p);
// Adds one layer of n samples to InstrBuf.
template <class R> void mklayer(int32_t n);
// Envelopes InstrBuf into the enveloped note; returns its length.
template <class R> int32_t adsr(int32_t len, R amp);
// Reduces an enveloped note of n samples to 44100 Hz at dst; returns the samples written.
template <class R> int32_t reduce(float* dst, int32_t n, R gain);
template <class R> void echo();
// Places the current instrument's notes, read from vars.npos/nsmp, and fills a timing row.
template <class R> void place();
// Renders and places one instrument starting at its parameters; returns the byte after
// its closing byte.
template <class R> const signed char* instr(const signed char* p);
// One channel: walks the groups from ins with the note streams pos and smp, mixes and
// writes MusBuf. Returns the song's end byte (not consumed).
template <class R> const signed char* pass(const signed char* ins, const signed char* pos,
                                           const unsigned char* smp, int32_t chan);
template <class R> void genMusT();
