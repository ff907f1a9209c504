// The frame composition through the Direct3D stand-in: the merge hides a layer exactly,
// skipping the hidden layer changes no bit of any frame, and the fades and cross-fade
// put out what the running order says.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include "app/debug_camera.h"
#include "app/main_loop.h"
#include "draw/camera.h"
#include "gfx/shader_program.h"
#include "scene/compose_frame.h"
#include "scene_fixture.h"

namespace quarvel::test {
namespace {

constexpr int kWidth = 320, kHeight = 180;

class SceneComposeFrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { opened = OpenScene(kWidth, kHeight); }
    static void TearDownTestSuite() { CloseScene(); }
    void SetUp() override { ASSERT_TRUE(opened); }
    void TearDown() override {
        skipInvisibleLayers = true;
        drawFades = true;
    }
    static bool opened;
};

bool SceneComposeFrameTest::opened = false;

// An 8-bit layer whose red and green channels run through all 256 x 256 values, in a
// pattern chosen by `kind`, so two layers together pair every value with every other.
RenderTarget PatternLayer(int kind) {
    RenderTarget layer = {};
    CreateRenderTarget(256, 256, layer);
    std::vector<unsigned char> bytes(256 * 256 * 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            unsigned char* p = &bytes[((size_t)y * 256 + x) * 4];
            const int a = kind == 0 ? x : kind == 1 ? y : 255 - x;
            const int b = kind == 0 ? y : kind == 1 ? x : (y * 37 + 11) & 255;
            p[0] = (unsigned char)a;
            p[1] = (unsigned char)b;
            p[2] = (unsigned char)(a ^ b);
            p[3] = (unsigned char)(255 - b);
        }
    graphics.context->UpdateSubresource(layer.texture, 0, NULL, bytes.data(), 256 * 4, 0);
    return layer;
}

Pixels Merge(const RenderTarget& road, const RenderTarget& sea, float weight) {
    RenderTarget out = MakeFloatTarget(256, 256);
    BindWholeTarget(out, 256, 256);
    ID3D11ShaderResourceView* layers[2] = {road.srv, sea.srv};
    graphics.context->PSSetShaderResources(0, 2, layers);
    const float block[4] = {weight, 0.0f, 0.0f, 0.0f};
    graphics.context->UpdateSubresource(graphics.mergeProgram->constants, 0, NULL, block, 0, 0);
    const float factor[4] = {};
    graphics.context->OMSetBlendState(graphics.blendOpaque, factor, 0xFFFFFFFF);
    graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
    graphics.context->RSSetState(graphics.cullBack);
    graphics.DrawFullscreenQuad(graphics.mergeProgram);
    ID3D11ShaderResourceView* none[2] = {};
    graphics.context->PSSetShaderResources(0, 2, none);
    Pixels pixels = ReadTexture(out.texture);
    ReleaseTarget(out);
    return pixels;
}

bool SameBits(const Pixels& a, const Pixels& b) {
    return a.width == b.width && a.height == b.height &&
           memcmp(a.rgba.data(), b.rgba.data(), a.rgba.size() * sizeof(float)) == 0;
}

// Skipping the sea rests on this: at weight 0 the merge gives the road layer bit for bit,
// whatever the sea layer holds, for every pair of 8-bit values.
TEST_F(SceneComposeFrameTest, ZeroWeightMergeIgnoresTheSeaLayer) {
    RenderTarget layers[3] = {PatternLayer(0), PatternLayer(1), PatternLayer(2)};
    EXPECT_TRUE(SameBits(Merge(layers[0], layers[1], 0.0f), Merge(layers[0], layers[2], 0.0f)));
    // A weight in between does see both.
    EXPECT_FALSE(SameBits(Merge(layers[1], layers[0], 0.5f), Merge(layers[2], layers[0], 0.5f)));
    const Pixels half = Merge(layers[0], layers[1], 0.5f);
    for (int y = 0; y < 256; y += 5)
        for (int x = 0; x < 256; x += 3) ASSERT_NEAR(half.At(x, y)[0], (x + y) / 510.0f, 1e-5f);
    for (RenderTarget& layer : layers) ReleaseTarget(layer);
}

struct Composed {
    Pixels image;  // the chain's target 0: the composition in float
    Pixels frame;  // the back buffer
};

Composed ComposeAt(uint32_t ms) {
    DrawFrameAt(ms);
    return {ReadComposedImage(), ReadFrame()};
}

void FillLayers(const float colour[4]) {
    graphics.context->ClearRenderTargetView(graphics.layerA.rtv, colour);
    graphics.context->ClearRenderTargetView(graphics.layerB.rtv, colour);
}

bool HoldsOnly(const Pixels& pixels, const float colour[4]) {
    for (size_t i = 0; i < pixels.rgba.size(); ++i)
        if (fabsf(pixels.rgba[i] - colour[i % 4]) > 0.003f) return false;
    return true;
}

TEST_F(SceneComposeFrameTest, SkippingHiddenLayersChangesNoBit) {
    const float stale[4] = {0.9f, 0.1f, 0.7f, 0.3f};
    const uint32_t times[] = {0, 500, 16999, 17000, 17001, 18000, 19000, 19001, 25000, 29500};
    for (uint32_t ms : times) {
        skipInvisibleLayers = false;
        const Composed full = ComposeAt(ms);
        // Whatever a skipped layer still holds from before must not reach the frame.
        FillLayers(stale);
        skipInvisibleLayers = true;
        const Composed skipped = ComposeAt(ms);
        EXPECT_TRUE(SameBits(full.image, skipped.image)) << ms << " ms";
        EXPECT_TRUE(SameBits(full.frame, skipped.frame)) << ms << " ms";
        // And the hidden layer really was left alone.
        EXPECT_FALSE(HoldsOnly(ReadTexture(graphics.layerA.texture), stale)) << ms << " ms";
        EXPECT_EQ(HoldsOnly(ReadTexture(graphics.layerB.texture), stale), ms <= 17000) << ms << " ms";
    }
}

// The debug camera, reset to the origin looking along +z, replaces the scripted view.
TEST_F(SceneComposeFrameTest, RoadSceneLooksThroughTheDebugCameraWhenItIsOn) {
    useDebugCamera = true;
    debugCamera.position = XMFLOAT4(0.0f, 0.0f, 0.0f, 0.0f);
    debugCamera.forward = XMFLOAT4(0.0f, 0.0f, 1.0f, 0.0f);
    debugCamera.up = XMFLOAT4(0.0f, 1.0f, 0.0f, 0.0f);
    DrawFrameAt(5000);
    useDebugCamera = false;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(viewMatrix.r[i].v[j], i == j ? 1.0f : 0.0f, 1e-6f) << i << j;
    DrawFrameAt(5000);
    EXPECT_NE(viewMatrix.r[3].v[1], 0.0f);  // the scripted eye is 0.1 above the ground
}

}  // namespace
}  // namespace quarvel::test
