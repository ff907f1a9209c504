// The chain's targets, copies, pass guard and fades on the Direct3D stand-in.
#include <gtest/gtest.h>
#include <math.h>

#include "app/main_loop.h"
#include "draw/sprites.h"
#include "gfx/shader_program.h"
#include "graphics_fixture.h"
#include "post/post_chain.h"

namespace quarvel::test {
namespace {

bool Near(const float* pixel, float r, float g, float b, float a, float tolerance = 0.004f) {
    return fabsf(pixel[0] - r) <= tolerance && fabsf(pixel[1] - g) <= tolerance && fabsf(pixel[2] - b) <= tolerance &&
           fabsf(pixel[3] - a) <= tolerance;
}

class ChainSizeTest : public ::testing::Test {
protected:
    void TearDown() override { CloseGraphics(); }
};

// At a size that does not divide evenly.
TEST_F(ChainSizeTest, TargetsAndProgramsAreMade) {
    const int width = 1366, height = 768;
    ASSERT_TRUE(OpenGraphics(width, height, true));
    D3D11_TEXTURE2D_DESC desc;
    for (int i = 0; i < kChainTargets; ++i) {
        postChain.textures[i]->GetDesc(&desc);
        EXPECT_EQ(desc.Width, (UINT)width);  // the full size, not rounded
        EXPECT_EQ(desc.Height, (UINT)height);
        EXPECT_EQ(desc.Format, DXGI_FORMAT_R32G32B32A32_FLOAT);
        EXPECT_TRUE(postChain.rtvs[i] && postChain.srvs[i]) << i;
    }
    for (int i = 0; i < kEffectCount; ++i)
        EXPECT_NE(postChain.programs[i]->pixelShader, nullptr) << postChain.programs[i]->pixelEntry;
    EXPECT_FALSE(postChain.active);
}

class ChainTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { opened = OpenGraphics(1280, 720, true); }
    static void TearDownTestSuite() { CloseGraphics(); }
    void SetUp() override { ASSERT_TRUE(opened); }

    // A white target 0 under one fade at a music time, read back.
    Pixels Faded(UINT32 nowMs, UINT32 startMs, UINT32 endMs, const float from[4], const float to[4]) {
        musicTimeMs = nowMs;
        postChain.Begin();
        const float white[4] = {1, 1, 1, 1};
        DrawRect(0, 0, 1280, 720, white);
        DrawFade(startMs, endMs, from, to);
        Pixels pixels = ReadTarget(postChain.rtvs[0]);
        postChain.End();
        return pixels;
    }

    static inline bool opened = false;
};

TEST_F(ChainTest, ResolveFromTargetZeroCopiesItAndClearsIt) {
    postChain.Begin();
    const float orange[4] = {1.0f, 0.5f, 0.0f, 1.0f};
    DrawRect(0, 0, 640, 720, orange);
    postChain.ResolveTo(graphics.layerA);
    const Pixels layer = ReadTarget(graphics.layerA.rtv);
    EXPECT_TRUE(Near(layer.At(100, 100), 1.0f, 0.5f, 0.0f, 1.0f, 0.01f));
    // The pass-through writes alpha 1 also where the chain was transparent.
    EXPECT_TRUE(Near(layer.At(1000, 100), 0.0f, 0.0f, 0.0f, 1.0f, 0.01f));
    EXPECT_TRUE(Near(ReadTarget(postChain.rtvs[0]).At(100, 100), 0, 0, 0, 0));
    EXPECT_EQ(postChain.current, 0);
    EXPECT_TRUE(postChain.active);
    postChain.End();
}

TEST_F(ChainTest, VhsPassRunsOnlyWhileOpenAndWhileATargetIsLeft) {
    postChain.Begin();
    postChain.End();
    const float marker[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    graphics.context->ClearRenderTargetView(postChain.rtvs[1], marker);
    postChain.ApplyVhs();
    EXPECT_EQ(postChain.current, 0);
    EXPECT_TRUE(Near(ReadTarget(postChain.rtvs[1]).At(640, 360), 0.25f, 0.5f, 0.75f, 1.0f));

    postChain.Begin();
    for (int pass = 1; pass <= 14; ++pass) postChain.ApplyVhs();
    EXPECT_EQ(postChain.current, 13);
    EXPECT_EQ(BoundDepthState(), graphics.depthOn);
    postChain.End();
}

TEST_F(ChainTest, FadesAtTheirEdgesLeaveOpaqueBlendAndDepthOn) {
    const float opaque[4] = {0, 0, 0, 1}, clear[4] = {0, 0, 0, 0};
    EXPECT_TRUE(Near(Faded(0, 0, 1000, opaque, clear).At(640, 360), 0, 0, 0, 1));
    EXPECT_TRUE(Near(Faded(500, 0, 1000, opaque, clear).At(640, 360), 0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_TRUE(Near(Faded(1000, 0, 1000, opaque, clear).At(640, 360), 1, 1, 1, 1));
    EXPECT_EQ(BoundBlendState(), graphics.blendOpaque);
    EXPECT_EQ(BoundDepthState(), graphics.depthOn);
    EXPECT_TRUE(Near(Faded(29000, 29000, 30000, clear, opaque).At(640, 360), 1, 1, 1, 0));
    for (UINT32 now : {30000u, 30999u}) EXPECT_TRUE(Near(Faded(now, 30000, 31000, opaque, opaque).At(0, 0), 0, 0, 0, 1));
    EXPECT_TRUE(Near(Faded(31000, 30000, 31000, opaque, opaque).At(0, 0), 1, 1, 1, 1));
}

}  // namespace
}  // namespace quarvel::test
