// The effect shaders on the Direct3D stand-in: the VHS pass against a CPU evaluation of its
// formula, and the pass-through.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include <vector>

#include "app/audio_analysis.h"
#include "app/main_loop.h"
#include "draw/sprites.h"
#include "gfx/shader_program.h"
#include "post/post_blocks.h"
#include "post/post_chain.h"
#include "graphics_fixture.h"

namespace quarvel::test {
namespace {

constexpr int kWidth = 1280, kHeight = 720;

// Smooth colour waves across the picture, steep enough in u that the VHS pass's shifts of a
// few thousandths show, with alpha 1.
std::vector<float> TestImage() {
    std::vector<float> rgba((size_t)kWidth * kHeight * 4);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const float u = (x + 0.5f) / kWidth, v = (y + 0.5f) / kHeight;
            float* p = &rgba[4 * ((size_t)y * kWidth + x)];
            p[0] = 0.5f + 0.45f * sinf(6.2831853f * 4.0f * u + 1.3f * v);
            p[1] = 0.5f + 0.45f * sinf(6.2831853f * 3.0f * u + 2.0f * v + 1.0f);
            p[2] = 0.5f + 0.45f * sinf(6.2831853f * 5.0f * u - 1.7f * v + 2.0f);
            p[3] = 1.0f;
        }
    return rgba;
}

// Bilinear filtering with clamped addressing, as samplerClamp does.
float Sample(const std::vector<float>& image, float u, float v, int channel) {
    const float fx = u * kWidth - 0.5f, fy = v * kHeight - 0.5f;
    const int x0 = (int)floorf(fx), y0 = (int)floorf(fy);
    const float tx = fx - x0, ty = fy - y0;
    auto texel = [&](int x, int y) {
        x = x < 0 ? 0 : x >= kWidth ? kWidth - 1 : x;
        y = y < 0 ? 0 : y >= kHeight ? kHeight - 1 : y;
        return image[4 * ((size_t)y * kWidth + x) + channel];
    };
    const float top = texel(x0, y0) * (1 - tx) + texel(x0 + 1, y0) * tx;
    const float bottom = texel(x0, y0 + 1) * (1 - tx) + texel(x0 + 1, y0 + 1) * tx;
    return top * (1 - ty) + bottom * ty;
}

float Smoothstep(float edge0, float edge1, float x) {
    float t = (x - edge0) / (edge1 - edge0);
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return t * t * (3 - 2 * t);
}

float ModFloor(float x, float y) { return x - y * floorf(x / y); }

// "VHSPS" at one texture coordinate. noise < 0 uses the row hash; otherwise that value
// stands in for it, since the hash of sin() differs between implementations.
void Vhs(const std::vector<float>& image, float u, float v, float fTime, float noiseOverride, bool colourOffsets,
         float out[3]) {
    float x = u;
    for (float i = 0.0f; i < 0.71f; i += 0.1313f) {
        const float d = ModFloor(fTime * i, 1.7f);
        const float o = sinf(1.0f - tanf(fTime * 0.24f * i)) * 0.003f;
        x += Smoothstep(d - 0.005f, d, v) * o - Smoothstep(d, d + 0.005f, v) * o;
    }
    const float uvY = truncf(v * 250.0f) / 250.0f;
    const float hash = sinf(fTime * 0.00001f * 12.9898f + uvY * 78.233f) * 43758.5453f;
    const float noise = noiseOverride >= 0.0f ? noiseOverride : hash - floorf(hash);
    x += noise * 0.00088f;
    const float offsetR = colourOffsets ? 0.006f * sinf(fTime) * 0.35f : 0.0f;
    const float offsetG = colourOffsets ? 0.0073f * cosf(fTime * 0.97f) * 0.35f : 0.0f;
    out[0] = Sample(image, x + offsetR, v, 0);
    out[1] = Sample(image, x + offsetG, v, 1);
    out[2] = Sample(image, x, v, 2);
}

float Difference(const float* gpu, const float cpu[3]) {
    return fmaxf(fabsf(gpu[0] - cpu[0]), fmaxf(fabsf(gpu[1] - cpu[1]), fabsf(gpu[2] - cpu[2])));
}

class EffectsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        opened = OpenGraphics(kWidth, kHeight, true);
        if (!opened) return;
        image = TestImage();
        imageView = MakeTexture(kWidth, kHeight, image);
    }
    static void TearDownTestSuite() {
        if (imageView) imageView->Release();
        imageView = NULL;
        CloseGraphics();
    }
    void SetUp() override {
        ASSERT_TRUE(opened);
        ASSERT_NE(imageView, nullptr);
        graphics.context->OMSetBlendState(graphics.blendOpaque, NULL, 0xFFFFFFFF);
    }

    // The test image drawn into target 0 with the pass-through, as the scene would leave it.
    void DrawImageIntoTargetZero() {
        postChain.Begin();
        DrawSprite(postChain.programs[kEffectPassThrough], imageView, 0, 0, 1280, 720, 0, 0, 1, 1);
    }

    static inline bool opened = false;
    static inline std::vector<float> image;
    static inline ID3D11ShaderResourceView* imageView = NULL;
};


TEST_F(EffectsTest, VhsPassMatchesItsFormula) {
    // 14.137 s: sin(fTime) is almost 1, so the red channel's offset is at its widest.
    musicTimeMs = 14137;
    for (float& band : spectrumBands) band = 0.3f;
    const float fTime = (float)musicTimeMs * 0.001f;
    DrawImageIntoTargetZero();
    postChain.ApplyVhs();
    ASSERT_EQ(postChain.current, 1);
    const Pixels out = ReadTarget(postChain.rtvs[1]);
    postChain.End();

    // A grid over the picture, plus the rows around each band of wobble.
    std::vector<int> rows;
    for (int j = 0; j < 15; ++j) rows.push_back(19 + 47 * j);
    for (float i = 0.1313f; i < 0.71f; i += 0.1313f) {
        const int centre = (int)(ModFloor(fTime * i, 1.7f) * kHeight);
        for (int dy : {-3, -1, 1, 3})
            if (centre + dy >= 0 && centre + dy < kHeight) rows.push_back(centre + dy);
    }
    int compared = 0, ownNoise = 0, noOffsetsFails = 0;
    const float tolerance = 0.006f;
    for (int y : rows)
        for (int i = 0; i < 20; ++i) {
            const int x = 31 + 61 * i;
            const float u = (x + 0.5f) / kWidth, v = (y + 0.5f) / kHeight;
            const float* gpu = out.At(x, y);
            EXPECT_FLOAT_EQ(gpu[3], 1.0f);
            float cpu[3];
            Vhs(image, u, v, fTime, -1.0f, true, cpu);
            if (Difference(gpu, cpu) <= tolerance) {
                ++ownNoise;
            } else {
                // Some row value of the noise must explain the pixel.
                float best = 1.0f;
                for (float n = 0.0f; n <= 1.0f; n += 0.02f) {
                    Vhs(image, u, v, fTime, n, true, cpu);
                    best = fminf(best, Difference(gpu, cpu));
                }
                EXPECT_LE(best, tolerance) << "pixel " << x << "," << y;
            }
            // A model without the colour offsets must not explain the picture: the comparison
            // can tell the effect's parts apart.
            float best = 1.0f;
            for (float n = 0.0f; n <= 1.0f; n += 0.1f) {
                Vhs(image, u, v, fTime, n, false, cpu);
                best = fminf(best, Difference(gpu, cpu));
            }
            noOffsetsFails += best > tolerance;
            ++compared;
        }
    EXPECT_GE(compared, 300);
    EXPECT_GE(ownNoise, compared * 8 / 10) << "the row hash should mostly agree";
    EXPECT_GE(noOffsetsFails, compared / 3);
}

}  // namespace
}  // namespace quarvel::test
