// The sea shader on the GPU against its CPU evaluation. Per pixel the two agree only where
// the formula is stable (the wave hash amplifies each implementation's sine error), so
// the sky is compared pixel by pixel and the sea by its statistics.
#include <gtest/gtest.h>
#include <math.h>

#include <map>

#include "app/main_loop.h"
#include "scene/sea_view.h"
#include "scene_fixture.h"
#include "sea_model.h"

namespace quarvel::test {
namespace {

constexpr int kWidth = 320, kHeight = 180;
constexpr float kTexel = 1.0f / 255.0f;

struct ModelFrame {
    std::vector<SeaPixel> pixels;
    const SeaPixel& At(int x, int y) const { return pixels[(size_t)y * kWidth + x]; }
};

class SceneSeaViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        opened = OpenScene(kWidth, kHeight) && sky.Load("Data/_neon_sunset_SUN_and_MNTNS.png");
    }
    static void TearDownTestSuite() {
        models.clear();
        CloseScene();
    }
    void SetUp() override { ASSERT_TRUE(opened); }

    // The sea pass alone into a float target, so NaN and negative values would show.
    static Pixels Render(uint32_t ms) {
        RenderTarget target = MakeTarget(kWidth, kHeight, DXGI_FORMAT_R32G32B32A32_FLOAT);
        const float grey[4] = {0.5f, 0.5f, 0.5f, 0.0f};
        BindAndClear(target, grey);
        graphics.context->OMSetBlendState(graphics.blendOpaque, nullptr, 0xFFFFFFFF);
        graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
        graphics.context->RSSetState(graphics.cullBack);
        musicTimeMs = ms;
        DrawSeaView();
        Pixels pixels = ReadTexture(target.texture);
        ReleaseTarget(target);
        return pixels;
    }

    // Pixel centres with v = 1 at the top row, as the full-screen quad interpolates them.
    static const ModelFrame& Model(uint32_t ms) {
        ModelFrame& frame = models[ms];
        if (frame.pixels.empty())
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    frame.pixels.push_back(EvaluateSeaPixel(sky, (float)ms * 0.001f, (x + 0.5f) / kWidth,
                                                            1.0f - (y + 0.5f) / kHeight));
        return frame;
    }

    static int HorizonRow(const ModelFrame& model) {
        for (int y = 0; y < kHeight; ++y)
            if (model.At(0, y).direction.y < 0.0f) return y;
        return kHeight;
    }

    static float RowDistanceFromSky(const Pixels& pixels, const ModelFrame& model, int y) {
        float sum = 0.0f;
        for (int x = 0; x < kWidth; ++x) {
            const float* p = pixels.At(x, y);
            const Float3& s = model.At(x, y).sky;
            sum += fabsf(p[0] - s.x) + fabsf(p[1] - s.y) + fabsf(p[2] - s.z);
        }
        return sum / (3.0f * kWidth);
    }

    static inline bool opened = false;
    static inline Picture sky;
    static std::map<uint32_t, ModelFrame> models;
};

std::map<uint32_t, ModelFrame> SceneSeaViewTest::models;

TEST_F(SceneSeaViewTest, AboveTheHorizonEveryPixelIsTheSkyAlongItsRay) {
    const Pixels gpu = Render(25000);
    const ModelFrame& model = Model(25000);
    const int horizon = HorizonRow(model);
    // The camera looks almost level, so the horizon is close to the middle.
    EXPECT_NEAR(horizon, kHeight / 2, 2);
    int compared = 0;
    for (int y = 0; y < horizon; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const SeaPixel& m = model.At(x, y);
            ASSERT_EQ(m.mask, 0.0f);
            const float* p = gpu.At(x, y);
            ASSERT_NEAR(p[0], m.sky.x, 2.5f * kTexel) << x << "," << y;
            ASSERT_NEAR(p[1], m.sky.y, 2.5f * kTexel) << x << "," << y;
            ASSERT_NEAR(p[2], m.sky.z, 2.5f * kTexel) << x << "," << y;
            ++compared;
        }
    EXPECT_GT(compared, kWidth * 80);
}

TEST_F(SceneSeaViewTest, AlphaIsOneAndEveryValueFiniteEverywhere) {
    const Pixels gpu = Render(25000);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const float* p = gpu.At(x, y);
            ASSERT_EQ(p[3], 1.0f) << x << "," << y;
            for (int c = 0; c < 3; ++c) ASSERT_TRUE(isfinite(p[c]) && p[c] >= 0.0f) << x << "," << y;
        }
}

TEST_F(SceneSeaViewTest, TheSeaBeginsOnThePredictedRow) {
    const Pixels gpu = Render(25000);
    const ModelFrame& model = Model(25000);
    const int horizon = HorizonRow(model);
    // Where the picture first leaves the sky: in the model and on the GPU alike.
    auto firstSeaRow = [&](auto distance) {
        for (int y = 0; y < kHeight; ++y)
            if (distance(y) > 0.01f) return y;
        return kHeight;
    };
    const int gpuRow = firstSeaRow([&](int y) { return RowDistanceFromSky(gpu, model, y); });
    const int modelRow = firstSeaRow([&](int y) {
        float sum = 0.0f;
        for (int x = 0; x < kWidth; ++x) {
            const SeaPixel& m = model.At(x, y);
            sum += fabsf(m.colour.x - m.sky.x) + fabsf(m.colour.y - m.sky.y) + fabsf(m.colour.z - m.sky.z);
        }
        return sum / (3.0f * kWidth);
    });
    EXPECT_EQ(gpuRow, modelRow);
    // The mask lets the sea in within a row or two of the geometric horizon.
    EXPECT_GE(gpuRow, horizon);
    EXPECT_LE(gpuRow, horizon + 2);
    // And well below it the picture is the sea, not the sky.
    EXPECT_GT(RowDistanceFromSky(gpu, model, horizon + 12), 0.05f);
}

TEST_F(SceneSeaViewTest, SeaStatisticsAgreeWithTheModel) {
    const Pixels gpu = Render(25000);
    const ModelFrame& model = Model(25000);
    double gpuSum[3] = {}, gpuSquares[3] = {}, modelSum[3] = {}, modelSquares[3] = {};
    int count = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const SeaPixel& m = model.At(x, y);
            if (m.mask < 0.999f) continue;
            const float* p = gpu.At(x, y);
            const float predicted[3] = {m.colour.x, m.colour.y, m.colour.z};
            for (int c = 0; c < 3; ++c) {
                gpuSum[c] += p[c];
                gpuSquares[c] += (double)p[c] * p[c];
                modelSum[c] += predicted[c];
                modelSquares[c] += (double)predicted[c] * predicted[c];
            }
            ++count;
        }
    ASSERT_GT(count, kWidth * kHeight / 3);
    for (int c = 0; c < 3; ++c) {
        const double gpuMean = gpuSum[c] / count, modelMean = modelSum[c] / count;
        const double gpuSpread = sqrt(gpuSquares[c] / count - gpuMean * gpuMean);
        const double modelSpread = sqrt(modelSquares[c] / count - modelMean * modelMean);
        EXPECT_NEAR(gpuMean, modelMean, 0.01) << "channel " << c;
        EXPECT_NEAR(gpuSpread / modelSpread, 1.0, 0.1) << "channel " << c;
        // The sea is dark water with bright glints, never the flat grey it was cleared to.
        EXPECT_GT(gpuSpread, 0.02) << "channel " << c;
    }
}

}  // namespace
}  // namespace quarvel::test
