// The frame composition through the Direct3D stand-in: skipping the hidden layer changes no
// bit of any frame.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include "app/main_loop.h"
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
    void TearDown() override { composeOptions = ComposeOptions(); }
    static inline bool opened = false;
};

bool SameBits(const Pixels& a, const Pixels& b) {
    return a.width == b.width && a.height == b.height &&
           memcmp(a.rgba.data(), b.rgba.data(), a.rgba.size() * sizeof(float)) == 0;
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
        composeOptions.skipInvisibleLayers = false;
        const Composed full = ComposeAt(ms);
        // Whatever a skipped layer still holds from before must not reach the frame.
        FillLayers(stale);
        composeOptions.skipInvisibleLayers = true;
        const Composed skipped = ComposeAt(ms);
        EXPECT_TRUE(SameBits(full.image, skipped.image)) << ms << " ms";
        EXPECT_TRUE(SameBits(full.frame, skipped.frame)) << ms << " ms";
        // And the hidden layer really was left alone.
        EXPECT_FALSE(HoldsOnly(ReadTexture(graphics.layerA.texture), stale)) << ms << " ms";
        EXPECT_EQ(HoldsOnly(ReadTexture(graphics.layerB.texture), stale), ms <= 17000) << ms << " ms";
    }
}

}  // namespace
}  // namespace quarvel::test
