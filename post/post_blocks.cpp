#include "post/post_blocks.h"

#include <string.h>

PostBlock VhsPostBlock(uint32_t musicMs, const float bands[32]) {
    PostBlock block = {};
    block.fGlitch = bands[0];
    block.fTime = (float)musicMs * 0.001f;
    // One unit below the float nearest 0.05 (bit pattern 0x3D4CCCCC), kept as it was tuned.
    block.fTileNum = (float)(musicMs % 10000) * 0.049999997f;
    block.fAmount = 1.0f;
    block.fRadius = 0.5f;
    return block;
}

GlobalBlock VhsGlobalBlock(const float bands[32]) {
    GlobalBlock block;
    memset(&block, 0, sizeof(block));
    block.effect = 10;
    for (int k = 0; k < 32; ++k) block.FFT[k][0] = bands[k];
    return block;
}

bool FadeColour(uint32_t nowMs, uint32_t startMs, uint32_t endMs, const float from[4], const float to[4],
                float colour[4]) {
    if (nowMs < startMs || nowMs >= endMs) return false;
    const float t = (float)(nowMs - startMs) / (float)(endMs - startMs);
    for (int i = 0; i < 4; ++i) colour[i] = from[i] + (to[i] - from[i]) * t;
    return true;
}
