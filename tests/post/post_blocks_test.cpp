// The values the VHS pass uploads that the shaders read (the fades are the chain test's to
// check, drawn).
#include <gtest/gtest.h>

#include "post/post_blocks.h"

namespace {

TEST(VhsBlockTest, ValuesAt12345Ms) {
    float bands[32];
    for (int k = 0; k < 32; ++k) bands[k] = 0.01f * (float)(k + 1);
    const PostBlock block = VhsPostBlock(12345, bands);
    EXPECT_FLOAT_EQ(block.fTime, 12.345f);
    EXPECT_EQ(block.fTileNum, 2345.0f * 0.049999997f);
    EXPECT_EQ(VhsPostBlock(10000, bands).fTileNum, 0.0f);  // wraps every ten seconds
    EXPECT_EQ(block.fGlitch, bands[0]);

    const GlobalBlock global = VhsGlobalBlock(bands);
    EXPECT_EQ(global.effect, 10);
    for (int k = 0; k < 32; ++k) EXPECT_EQ(global.FFT[k][0], bands[k]);
}

}  // namespace
