// Constants, parameter scales, filter taps and the six wave tables.
#include <cmath>

#include "synth/engine.h"

const float wavestep = 1.0f / 32768.0f;
const float basefreq = 2.866987f;
const float halfnote = 1.0594631f;
const int32_t tempo = 11504;
const float velfac = 0.007874016f;
const int32_t finalamp = 32767;
const float delaystr = 0.37034133f;
const int32_t offset = 8192;
const float tps = 15.333333f;
const int32_t muslen = 3072;
const int32_t numtr = 13;

// p19 down to p0.
const float paramw[20] = {
    0.125f, 0.125f, 0.125f, 0.125f,                  // release, decay, attack, saturation
    1.0f / 1024, 1.0f / 1024, 1.0f / 1024,           // depth decay, modulator/carrier rates
    1.0f / 12, 1.0f / 12,                            // modulator/carrier pitch start
    1.0f / 65536, 1.0f / 65536,                      // right, left gain
    1.0f / 32,                                       // sustain
    16307.0f, 1.0f,                                  // seed offset, layers
    4096.0f, 0.125f,                                 // depth base, depth spread
    1.0f / 1024, 1.0f / 1024,                        // modulator/carrier detune
    1.0f, 1.0f                                       // modulator/carrier table
};

const signed char resamp[24] = {-1, -2, -4, -4, -2, 3,  14,  30,  51,  98,  116, 126,
                                126, 116, 98, 51, 30, 14, 3,  -2, -4, -4, -2, -1};

float wforms[6][WAVELEN];

template <class R>
void mkwaves()
{
    const R pi = (R)3.14159265358979323846264338327950288L;
    R v = -1;
    for (int32_t i = 0; i < WAVELEN; i++) {
        R t = (R)(i + 1) * (R)wavestep;
        R x = t - 1;
        wforms[0][i] = (float)std::sin(pi * t);
        wforms[1][i] = (float)x;
        wforms[2][i] = i < WAVELEN / 2 ? -1.0f : 1.0f;
        wforms[3][i] = (float)(2 * x * x - 1);
        wforms[4][i] = (float)(std::fabs(2 * x) - 1);
        v = std::sin(pi * (v + (R)wavestep));
        wforms[5][i] = (float)v;
    }
}

template void mkwaves<long double>();
template void mkwaves<double>();
