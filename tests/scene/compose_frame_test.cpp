// The frame composition through the Direct3D stand-in: skipping the hidden layer changes no
// bit of any frame.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include "scene/compose_frame.h"
#include "scene_fixture.h"

namespace quarvel::test {
namespace {

bool SameBits(const Pixels& a, const Pixels& b) {
    return a.width == b.width && a.height == b.height &&
           memcmp(a.rgba.data(), b.rgba.data(), a.rgba.size() * sizeof(float)) == 0;
}

bool HoldsOnly(const Pixels& pixels, const float colour[4]) {
    for (size_t i = 0; i < pixels.rgba.size(); ++i)
        if (fabsf(pixels.rgba[i] - colour[i % 4]) > 0.003f) return false;
    return true;
}

TEST(SceneComposeFrameTest, SkippingHiddenLayersChangesNoBit) {
    ASSERT_TRUE(OpenScene(320, 180));
    const float stale[4] = {0.9f, 0.1f, 0.7f, 0.3f};
    for (uint32_t ms : {0u, 500u, 16999u, 17000u, 17001u, 18000u, 19000u, 19001u, 25000u, 29500u}) {
        composeOptions.skipInvisibleLayers = false;
        DrawFrameAt(ms);
        const Pixels image = ReadComposedImage(), frame = ReadFrame();
        // Whatever a skipped layer still holds from before must not reach the frame.
        graphics.context->ClearRenderTargetView(graphics.layerA.rtv, stale);
        graphics.context->ClearRenderTargetView(graphics.layerB.rtv, stale);
        composeOptions.skipInvisibleLayers = true;
        DrawFrameAt(ms);
        EXPECT_TRUE(SameBits(image, ReadComposedImage())) << ms << " ms";
        EXPECT_TRUE(SameBits(frame, ReadFrame())) << ms << " ms";
        // And the hidden layer really was left alone.
        EXPECT_FALSE(HoldsOnly(ReadTexture(graphics.layerA.texture), stale)) << ms << " ms";
        EXPECT_EQ(HoldsOnly(ReadTexture(graphics.layerB.texture), stale), ms <= 17000) << ms << " ms";
    }
    CloseScene();
}

}  // namespace
}  // namespace quarvel::test
