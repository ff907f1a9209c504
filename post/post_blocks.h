// The parameter blocks of the effect programs, byte for byte as the shader sources declare
// them, and the values the passes put into them.
#pragma once

#include <stdint.h>

// `cb` of the 32-byte programs of PostProcess.hlsl.
struct PostBlock {
    float fGlitch;
    float fTime;
    float fTileNum;
    float fAmount;
    float fRadius;
    float res[3];
};
static_assert(sizeof(PostBlock) == 32, "the post block is 32 bytes");

// `cbGlobal`, held in graphics.globalConstants (b2).
struct GlobalBlock {
    int32_t effect;
    int32_t res2[3];
    float FFT[32][4];  // only .x carries data
};
static_assert(sizeof(GlobalBlock) == 528, "the global block is 528 bytes");

// What the VHS pass uploads at a music time with the given spectrum.
PostBlock VhsPostBlock(uint32_t musicMs, const float bands[32]);
GlobalBlock VhsGlobalBlock(const float bands[32]);

// Whether a fade window [startMs, endMs) covers nowMs, and if so its colour there.
bool FadeColour(uint32_t nowMs, uint32_t startMs, uint32_t endMs, const float from[4], const float to[4],
                float colour[4]);
