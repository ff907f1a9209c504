// What the road scene draws, against expectations worked out here from the scene's
// description alone (not from scene/): the camera and projection, the scroll distance, where
// the pylons' marker blocks, the insulators at the wire anchors, the road posts and the
// billboards stand, the car and its wheels; line art blended over the background by its
// depth, the background elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "app/main_loop.h"
#include "app/scene_resources.h"
#include "draw/sprites.h"
#include "gfx/shader_program.h"
#include "post/post_chain.h"
#include "scene/road_scene.h"
#include "scene_fixture.h"
#include "sea_model.h"

namespace quarvel::test {
namespace {

constexpr int kWidth = 640, kHeight = 360;

struct Point {
    double x, y, z;
};
struct OnScreen {
    double px, py;  // the pixel, from the top left
    double alpha;   // what the line-art program makes of the depth there
    bool visible;
};

// The scripted camera: eye (0, 0.1, -1) looking along (0, 19.9, 101) with y up, a vertical
// field of view of pi/4 over a 16:9 picture, near 0.01 and far 500, left-handed.
OnScreen Project(Point p) {
    const double len = std::sqrt(19.9 * 19.9 + 101.0 * 101.0);
    const double zy = 19.9 / len, zz = 101.0 / len;  // the view direction; x is world x
    const double dx = p.x, dy = p.y - 0.1, dz = p.z + 1.0;
    const double vx = dx, vy = dy * zz - dz * zy, w = dy * zy + dz * zz;
    const double h = 1.0 / std::tan(M_PI / 8);
    const double xn = vx * h / (16.0 / 9.0) / w, yn = vy * h / w;
    const double depth = 500.0 / (500.0 - 0.01) * (1.0 - 0.01 / w);
    const OnScreen s{(xn + 1) / 2 * kWidth, (1 - yn) / 2 * kHeight, std::pow(depth / w, 0.1), false};
    return {s.px, s.py, s.alpha, w > 0.1 && s.px >= 2 && s.px < kWidth - 2 && s.py >= 2 && s.py < kHeight - 2};
}

// The scroll distance: 1.5 + t / 3 units a second up to 15 s, then 4, braking after 16 s.
double Travel(double t) {
    const double e = std::clamp(t / 15.0, 0.0, 1.0);
    const double brake = t <= 16 ? 0.0 : -2.0 * std::clamp((t - 16.0) / 3.0, 0.0, 1.0);
    return (t - 16.0) * brake + ((1 - e) * 1.5 + e * 4) * t;
}

// The car layer's offset: sliding in from 960 over 2 to 6 s, out to -1920 over 14 to 17 s.
double CarOffset(double t) {
    if (t > 14) return (1 - std::sin(std::clamp(t - 14, 0.0, 3.0) * M_PI / 3 + M_PI / 2)) * -960;
    return (1 - std::sin(std::clamp(t - 2, 0.0, 4.0) * M_PI / 8)) * 960;
}

const double kLine[3] = {0x13 / 255.0, 0x08 / 255.0, 0x39 / 255.0};

class RoadSceneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        opened = OpenScene(kWidth, kHeight);
        if (!opened) return;
        target = MakeTarget(kWidth, kHeight);
        // The background picture alone, as the scene's first sprite draws it.
        const float white[4] = {1, 1, 1, 1};
        BindAndClear(target, white);
        Ready();
        UpdateConstants(graphics.texture2DProgram->constants, white);
        DrawSprite(graphics.texture2DProgram, backgroundTexture, 0, 0, 1280, 720, 0, 0, 1, 1);
        background = ReadTexture(target.texture);
        for (const char* name : {"_Ketra_road_scene_billboard_1_nagy2", "_Ketra_road_scene_billboard_2_nagy2",
                                 "_Ketra_road_scene_car_1080_opa_win", "_Ketra_road_scene_car_wheel_134x134",
                                 "_Ketra_road_scene_car_wheel_142x142"})
            pictures.emplace_back().Load(std::string("Data/") + name + ".png");
    }
    static void TearDownTestSuite() {
        ReleaseTarget(target);
        CloseScene();
    }
    static void Ready() {
        const float factor[4] = {};
        graphics.context->OMSetBlendState(graphics.blendOpaque, factor, 0xFFFFFFFF);
        graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
        graphics.context->RSSetState(graphics.cullBack);
    }
    void SetUp() override { ASSERT_TRUE(opened); }

    // The road scene at `ms` without the closing VHS pass (the chain is not open).
    static Pixels Draw(uint32_t ms) {
        const float black[4] = {0, 0, 0, 1};
        BindAndClear(target, black);
        Ready();
        musicTimeMs = ms;
        musicTimeSec = (float)ms * 0.001f;
        postChain.active = false;
        DrawRoadScene();
        return ReadTexture(target.texture);
    }

    static inline bool opened = false;
    static inline RenderTarget target = {};
    static inline Pixels background;
    static inline std::vector<Picture> pictures;
};

// The line art: solid blocks blended over the background by their own depth, so a point on
// one shows exactly the mix, and a wrong place or an opaque blend shows something else.
TEST_F(RoadSceneTest, LineArtStandsWhereTheSceneDescribesItBlendedByDepth) {
    // Before the car comes in and after it has gone.
    for (uint32_t ms : {1000u, 16500u}) {
        const Pixels frame = Draw(ms);
        const double travel = Travel(ms / 1000.0);
        std::vector<Point> blocks;
        for (int w = -5; w <= 4; ++w) {
            const double x = 15 * w + std::fmod(travel, 15.0);
            // The marker block of each pylon (0.5 across, on the ground), seen on its front face.
            for (int j = 0; j < 5; ++j) blocks.push_back({x + 2 * j + 3.5, 0.15, 12.0 * j + 12.5 - 0.25});
            // The upright of each road post (0.03 across, 1.6 high).
            const double x8 = 8 * w + std::fmod(travel, 8.0) + 0.5;
            blocks.push_back({x8, 0.9, 2.5 - 0.015});
        }
        int checked = 0, exact = 0;
        for (const Point& p : blocks) {
            const OnScreen s = Project(p);
            if (!s.visible) continue;
            const float* got = frame.At((int)s.px, (int)s.py);
            const float* bg = background.At((int)s.px, (int)s.py);
            // Line art is there, and it was blended: an opaque draw leaves exactly its colour.
            double fromBackground = 0, fromLine = 0, fromBlend = 0;
            for (int c = 0; c < 3; ++c) {
                fromBackground += std::fabs(got[c] - bg[c]);
                fromLine += std::fabs(got[c] - kLine[c]);
                fromBlend = std::max(fromBlend, std::fabs(got[c] - (bg[c] * (1 - s.alpha) + kLine[c] * s.alpha)));
            }
            EXPECT_GT(fromBackground, 0.1) << ms << " ms, nothing at " << p.x << "," << p.y << "," << p.z;
            EXPECT_GT(fromLine, 0.03) << ms << " ms, drawn opaque at " << p.x << "," << p.y << "," << p.z;
            // Where no other line art lies in front, exactly the mix its depth gives.
            exact += fromBlend < 4.0 / 255;
            ++checked;
        }
        EXPECT_GE(exact * 3, checked * 2) << ms;
        EXPECT_GE(checked, 8) << ms;

        // Every insulator in view darkens its pixel towards the line colour.
        int insulators = 0, drawn = 0;
        const double anchors[12][3] = {{0.2, 5.2, -1.1},  {0.2, 6.4, -1.1}, {-0.2, 6.4, -1.1}, {0.4, 7.6, -1.1},
                                       {0.0, 7.6, -1.1},  {-0.6, 7.6, -1.1}, {1.9, 5.2, -1.1}, {2.2, 6.4, -1.1},
                                       {1.8, 6.4, -1.1}, {2.8, 7.6, -1.1}, {2.4, 7.6, -1.1}, {1.8, 7.6, -1.1}};
        for (int w = -5; w <= 4; ++w)
            for (const auto& a : anchors) {
                const OnScreen s = Project({15 * w + std::fmod(travel, 15.0) + a[0], a[1] + 0.04, 15 + a[2] - 0.125});
                if (!s.visible) continue;
                ++insulators;
                const float* got = frame.At((int)s.px, (int)s.py);
                const float* bg = background.At((int)s.px, (int)s.py);
                drawn += got[0] + got[1] + got[2] < 0.6f * (bg[0] + bg[1] + bg[2]) + 0.05f;
            }
        EXPECT_GE(insulators, 12) << ms;
        EXPECT_EQ(drawn, insulators) << ms;

        // Between the pylon rows, above the wires, lies only the background.
        int sky = 0;
        for (int x = 0; x < kWidth; x += 7) {
            const float* got = frame.At(x, 2);
            const float* bg = background.At(x, 2);
            sky += std::fabs(got[0] - bg[0]) + std::fabs(got[1] - bg[1]) + std::fabs(got[2] - bg[2]) < 1e-6f;
        }
        EXPECT_GT(sky, kWidth / 7 / 2) << ms;
    }
}

// The visible billboard's panel against the two pictures: at 5 s the one placed 15 units
// back, at 14 s the one 55 units back.
TEST_F(RoadSceneTest, EachBillboardShowsItsOwnPicture) {
    for (const auto& [ms, back, picture] : {std::tuple{5000u, 15.0, 1}, std::tuple{14000u, 55.0, 0}}) {
        const Pixels frame = Draw(ms);
        double distance[2] = {};
        int samples = 0;
        for (double u = 0.2; u <= 0.8; u += 0.05)
            for (double v = 0.15; v <= 0.5; v += 0.05) {
                // The plane stands upright: texture v = 0 at its top edge, 1.5 above its middle.
                const OnScreen s = Project({Travel(ms / 1000.0) - back + (u - 0.5) * 4.38, 1.25 - (v - 0.5) * 3.0, 10});
                if (!s.visible) continue;
                const float* got = frame.At((int)s.px, (int)s.py);
                for (int k = 0; k < 2; ++k) {
                    const Picture& p = pictures[k];
                    const unsigned char* texel = p.At((int)(u * p.width), (int)(v * p.height));
                    for (int c = 0; c < 3; ++c) distance[k] += std::fabs(got[c] - texel[c] / 255.0);
                }
                ++samples;
            }
        ASSERT_GT(samples, 40) << ms;
        EXPECT_LT(distance[picture] * 2, distance[1 - picture]) << ms << " ms: the other billboard's picture";
    }
}

// Opaque, even patches of the car picture land where its offset puts them, and the wheels'
// hubs at their centres; at 15.5 s the car has all but left to the left.
TEST_F(RoadSceneTest, TheCarAndItsWheelsStandAtTheirOffset) {
    const Picture& car = pictures[2];
    std::vector<std::pair<int, int>> patches;
    for (int ty = 20; ty + 20 < car.height; ty += 24)
        for (int tx = 20; tx + 20 < car.width; tx += 24) {
            bool even = true;
            for (int dy = -6; dy <= 6 && even; dy += 3)
                for (int dx = -6; dx <= 6 && even; dx += 3) {
                    const unsigned char *a = car.At(tx + dx, ty + dy), *b = car.At(tx, ty);
                    even = a[3] == 255 && std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) < 6;
                }
            // The wheel sprites are drawn over the picture's own wheels.
            const bool underWheel = std::hypot(tx - 697.5, ty - 900) < 80 || std::hypot(tx - 1237.5, ty - 900) < 82;
            if (even && !underWheel) patches.push_back({tx, ty});
        }
    ASSERT_GT(patches.size(), 20u);
    for (uint32_t ms : {4000u, 15500u}) {
        const Pixels frame = Draw(ms);
        const double offset = CarOffset(ms / 1000.0);
        int checked = 0;
        for (const auto& [tx, ty] : patches) {
            // Picture pixels are 1.5 virtual pixels, virtual pixels half a target pixel.
            const double x = (tx / 1.5 + offset) / 2, y = ty / 1.5 / 2;
            if (x < 2 || x >= kWidth - 2) continue;
            const float* got = frame.At((int)x, (int)y);
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], car.At(tx, ty)[c] / 255.0, 6.0 / 255) << ms << " " << tx;
            ++checked;
        }
        EXPECT_GT(checked, ms == 4000 ? 20 : 0) << ms;
        for (const auto& [centre, size, picture] : {std::tuple{465.0, 134, 3}, std::tuple{825.0, 142, 4}}) {
            const double x = (offset + centre) / 2;
            if (x < 2 || x >= kWidth - 2) continue;
            const unsigned char* hub = pictures[picture].At(size / 2, size / 2);
            const float* got = frame.At((int)x, 300);
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], hub[c] / 255.0, 10.0 / 255) << ms << " wheel " << centre;
        }
    }
}

}  // namespace
}  // namespace quarvel::test
