// The values the VHS pass uploads (the fades are the chain test's to check, drawn).
#include <gtest/gtest.h>
#include <string.h>

#include "post/post_blocks.h"

namespace {

TEST(VhsBlockTest, ValuesAt12345Ms) {
    float bands[32];
    for (int k = 0; k < 32; ++k) bands[k] = 0.01f * (float)(k + 1);
    const PostBlock block = VhsPostBlock(12345, bands);
    EXPECT_FLOAT_EQ(block.fTime, 12.345f);
    uint32_t bits;
    const float tileScale = 0.049999997f;
    memcpy(&bits, &tileScale, 4);
    EXPECT_EQ(bits, 0x3D4CCCCCu);
    EXPECT_EQ(block.fTileNum, 2345.0f * tileScale);
    EXPECT_EQ(VhsPostBlock(10000, bands).fTileNum, 0.0f);  // wraps every ten seconds
    EXPECT_EQ(block.fGlitch, bands[0]);
    EXPECT_EQ(block.fAmount, 1.0f);
    EXPECT_EQ(block.fRadius, 0.5f);
    EXPECT_EQ(block.res[2], 0.0f);

    const GlobalBlock global = VhsGlobalBlock(bands);
    EXPECT_EQ(global.effect, 10);
    EXPECT_EQ(offsetof(GlobalBlock, FFT), 16u);
    for (int k = 0; k < 32; ++k) {
        EXPECT_EQ(global.FFT[k][0], bands[k]);
        EXPECT_EQ(global.FFT[k][1] + global.FFT[k][2] + global.FFT[k][3], 0.0f);
    }
}

}  // namespace
