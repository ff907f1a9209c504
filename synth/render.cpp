// genMus and its steps: layers of two-operator phase modulation at 176400 Hz, the
// envelope with its saturator, reduction to 44100 Hz, note placement and the echo.
#include <cmath>
#include <string.h>

#include "synth/engine.h"
#include "synth/fpu.h"

static float* const mix = MixBuf + ECHODLY;

int16_t rnd(uint32_t& s)
{
    int16_t r = (int16_t)(s & 0xffff);
    uint32_t k = s & 31;
    s = (k ? (s >> k) | (s << (32 - k)) : s) - 1;
    return r;
}

int32_t getlen(const signed char*& p)
{
    int32_t b = *p++;
    if (b >= 0) return b;
    return (~b) * 256 + (unsigned char)*p++;
}

// Low 16 bits of a phase rounded to nearest, ties to even.
template <class R>
static inline uint16_t idx(R x)
{
    return (uint16_t)std::llrint(x);
}

template <class R>
const signed char* getpar(const signed char* p)
{
    SynVars<R>& v = vars<R>;
    for (int k = 0; k < 20; k++) v.p[k] = (R)*p++ * (R)paramw[19 - k];
    for (int k = 13; k <= 15; k++) v.p[k] = v.p[k] * v.p[k] * v.p[k];
    return p;
}

template <class R>
void mklayer(int32_t n)
{
    SynVars<R>& v = vars<R>;
    R r1 = rnd(v.seed), r2 = rnd(v.seed), r3 = rnd(v.seed);
    v.f1 = v.f + r1 * (v.p[2] * v.p[2]);
    v.f2 = v.f + r2 * (v.p[3] * v.p[3]);
    v.m = r3 * v.p[4] + v.p[5];
    v.e0 = std::exp2(v.p[11]);
    v.e1 = std::exp2(v.p[12]);
    v.e2 = std::exp2(v.p[13]);
    v.e3 = std::exp2(v.p[14]);
    v.e4 = std::exp2(v.p[15]);
    v.ek = std::exp2(v.p[16]);
    v.ea = std::exp2(v.p[17]);
    v.ed = std::exp2(v.p[18]);
    v.er = std::exp2(v.p[19]);

    const float* car = wforms[(uint32_t)std::llrint(v.p[0]) % 6];
    const float* mod = wforms[(uint32_t)std::llrint(v.p[1]) % 6];
    R P = 0, Q = 0, m = v.m, e0 = v.e0, e1 = v.e1;
    const R f1 = v.f1, f2 = v.f2, e2 = v.e2, e3 = v.e3, e4 = v.e4;
    if (n > LAYERMAX) n = LAYERMAX;
    for (int32_t i = 0; i < n; i++) {
        R a = mod[idx(P)];
        R out = car[idx(Q + m * a)];
        Q += f1 * e0;
        P += f2 * e1;
        e0 = 1 + (e0 - 1) * e2;
        e1 = 1 + (e1 - 1) * e3;
        m = ((m + 1) - 1) * e4;
        InstrBuf[i] = (float)(InstrBuf[i] + out);
    }
}

// Segment counts are at least one sample: a zero count would make the step infinite.
template <class R>
static int32_t segcnt(R scale)
{
    int32_t n = (int32_t)std::llrint(scale * (R)finalamp);
    return n < 1 ? 1 : n;
}

template <class R>
int32_t adsr(int32_t len, R amp)
{
    SynVars<R>& v = vars<R>;
    const R k = v.ek, sus = v.p[8];
    const int32_t att = segcnt(v.ea), dec = segcnt(v.ed), rel = segcnt(v.er);
    struct { R target; int32_t count; } seg[5] = {
        {1, att}, {sus, dec}, {sus, len * tempo - att - dec}, {0, rel}, {0, finalamp}};
    float* out = InstrRen + RENPAD;
    R e = 0;
    int32_t i = 0;
    for (auto& s : seg) {
        if (s.count <= 0) continue;  // only the sustain can be empty
        int32_t end = i + s.count;
        if (end > LAYERMAX) end = LAYERMAX;
        R step = (s.target - e) / s.count;
        for (; i < end; i++) {
            R y = InstrBuf[i] * amp * e;
            out[i] = (float)(y * std::sqrt(k / (1 + (k - 1) * y * y)));
            e += step;
        }
    }
    return i;
}

template <class R>
int32_t reduce(float* dst, int32_t n, R gain)
{
    const float* note = InstrRen + RENPAD;
    int32_t cnt = (n + 3) / 4;
    for (int32_t k = 0; k < cnt; k++) {
        const float* x = note + 4 * k - 23;
        R s = 0;
        for (int j = 0; j < 24; j++) s += (R)resamp[j] * x[j];
        dst[k] = (float)(gain * s);
    }
    return cnt;
}

template <class R>
void echo()
{
    const R g = delaystr;
    for (int32_t i = 0; i < MIXLEN; i++) mix[i] = (float)(mix[i] + g * mix[i - ECHODLY]);
}

template <class R>
void place()
{
    SynVars<R>& v = vars<R>;
    int32_t* row = timing;
    int32_t pos = 0, last = 0;
    do {
        pos += getlen(v.npos);
        int32_t s = *v.nsmp++;
        if (s < v.ns) {
            const float* src = InstrPoi[s];
            int64_t n = InstrPoi[s + 1] - src;
            int64_t at = (int64_t)pos * (tempo / 4);
            if (at + n > MIXLEN) n = at < MIXLEN ? MIXLEN - at : 0;  // cut at the song's end
            float* dst = mix + at;
            for (int64_t j = 0; j < n; j++) dst[j] = (float)(dst[j] + (R)src[j]);
        }
        int32_t upto = pos < ROWLEN ? pos : ROWLEN;  // a note past the row is not in it
        while (timing < row + upto) *timing++ = last;
        last = pos;
    } while ((signed char)*v.nsmp >= 0);
    v.nsmp++;
    while (timing < row + ROWLEN) *timing++ = last;
}

template <class R>
const signed char* instr(const signed char* p)
{
    SynVars<R>& v = vars<R>;
    p = getpar<R>(p);
    const int32_t layers = (int32_t)std::llrint(v.p[6]);
    const R gain = v.chan ? v.p[10] : v.p[9];
    float* sto = InstrSto;
    v.ns = 0;
    InstrPoi[0] = sto;
    v.f = basefreq;
    do {
        for (int32_t st = *p++; st >= 0; st--) v.f = v.f * (R)halfnote;
        v.seed = (uint32_t)(v.chan * 6021 + (int32_t)std::llrint(v.p[7]));
        memset(InstrBuf, 0, sizeof InstrBuf);
        const signed char* q = p + 1;
        const int32_t first = getlen(q);
        for (int32_t l = 0; l < layers; l++) mklayer<R>(first * tempo + 851968);
        while (*p != 0) {
            R amp = (R)*p++ * (R)velfac / layers;
            int32_t len = getlen(p);
            int32_t n = adsr<R>(len, amp);
            // Only 16 samples, and only what fits in InstrSto, are kept; notes that ask for
            // a sample that was not kept are left out when placing.
            if (v.ns < MAXSAMP && (n + 3) / 4 <= InstrSto + STOMAX - sto) {
                sto += reduce<R>(sto, n, gain);
                InstrPoi[++v.ns] = sto;
            }
        }
        p++;
    } while (*p >= 0);
    place<R>();
    return p + 1;
}

template <class R>
const signed char* pass(const signed char* ins, const signed char* pos,
                        const unsigned char* smp, int32_t chan)
{
    SynVars<R>& v = vars<R>;
    v.chan = chan;
    v.npos = pos;
    v.nsmp = smp;
    memset(mix, 0, MIXLEN * sizeof(float));
    for (bool first = true;; first = false) {
        if (!first) echo<R>();
        do ins = instr<R>(ins);
        while (*ins >= 0);
        ins++;
        if (*ins < 0) break;
    }
    int16_t* out = MusBuf + chan / 2;
    for (int32_t i = 0; i < MIXLEN; i++) {
        R x = mix[i];
        if (x > 1) x = 1;
        if (x < -1) x = -1;
        out[2 * i] = (int16_t)std::llrint(x * (R)finalamp);
    }
    return ins;
}

template <class R>
void genMusT()
{
    FpuExtended fpu;
    timing = musdat[0];  // a second render fills the same rows again
    mkwaves<R>();
    pass<R>(instdata, notepos, notesamp, 0);
    pass<R>(instdata, notepos, notesamp, 2);
}

void genMus()
{
    genMusT<long double>();
}

#define SYNTH_STEPS(R)                                                                    \
    template const signed char* getpar<R>(const signed char*);                           \
    template void mklayer<R>(int32_t);                                                    \
    template int32_t adsr<R>(int32_t, R);                                                 \
    template int32_t reduce<R>(float*, int32_t, R);                                       \
    template void echo<R>();                                                              \
    template void place<R>();                                                             \
    template const signed char* instr<R>(const signed char*);                            \
    template const signed char* pass<R>(const signed char*, const signed char*,          \
                                        const unsigned char*, int32_t);                   \
    template void genMusT<R>();
SYNTH_STEPS(long double)
SYNTH_STEPS(double)
