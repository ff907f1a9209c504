// What the road scene draws, against expectations worked out here from the scene's
// description alone (not from scene/): the camera and projection, the scroll distance, where
// the pylons' marker blocks, the insulators and wires, the road posts, guard rail, fence and
// billboards stand, the car and its turning wheels; line art blended over the background by
// its depth, the background elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

// How far apart two colours are: the differences of their three channels summed.
template <class A, class B>
double Apart(const A* a, const B* b) {
    return std::fabs(a[0] - b[0]) + std::fabs(a[1] - b[1]) + std::fabs(a[2] - b[2]);
}

// How far a wire has sagged at `f` of its length, as a share of its deepest sag: its 50 boxes
// follow half a sine wave.
double Sag(double f) { return std::sin((50 * f + 0.5) * 0.06283184); }

// A picture read as the linear clamping sampler reads it, at texture coordinates (u, v).
std::array<double, 4> Sample(const Picture& p, double u, double v) {
    const double x = std::clamp(u * p.width - 0.5, 0.0, p.width - 1.0);
    const double y = std::clamp(v * p.height - 0.5, 0.0, p.height - 1.0);
    const int i = (int)x, j = (int)y, i1 = std::min(i + 1, p.width - 1), j1 = std::min(j + 1, p.height - 1);
    std::array<double, 4> out;
    for (int c = 0; c < 4; ++c) {
        const double top = p.At(i, j)[c] + (p.At(i1, j)[c] - p.At(i, j)[c]) * (x - i);
        const double bottom = p.At(i, j1)[c] + (p.At(i1, j1)[c] - p.At(i, j1)[c]) * (x - i);
        out[c] = (top + (bottom - top) * (y - j)) / 255;
    }
    return out;
}

// Over the pixels of `frame` from (x0, y0) to (x1, y1), where `at` finds an opaque part of a
// picture: how many there are, and how many show another colour.
template <class Where>
std::pair<int, int> OpaquePartsShown(const Pixels& frame, int x0, int y0, int x1, int y1, Where at) {
    int opaque = 0, wrong = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, kHeight); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, kWidth); ++x) {
            const std::array<double, 4> texel = at(x + 0.5, y + 0.5);
            if (texel[3] < 1) continue;
            ++opaque;
            const float* got = frame.At(x, y);
            wrong += Apart(got, texel.data()) > 6.0 / 255;
        }
    return {opaque, wrong};
}

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
        graphics.context->OMSetBlendState(graphics.blendOpaque, nullptr, 0xFFFFFFFF);
        graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
        graphics.context->RSSetState(graphics.cullBack);
    }
    void SetUp() override { ASSERT_TRUE(opened); }

    // Whether a pixel within `reach` of (x, y) is darker than the background there, or is the
    // line colour itself.
    static bool Darkened(const Pixels& frame, int x, int y, int reach, bool opaque = false) {
        for (int py = std::max(y - reach, 0); py <= std::min(y + reach, kHeight - 1); ++py)
            for (int px = std::max(x - reach, 0); px <= std::min(x + reach, kWidth - 1); ++px) {
                const float *got = frame.At(px, py), *bg = background.At(px, py);
                const bool darker = got[0] + got[1] + got[2] < 0.6f * (bg[0] + bg[1] + bg[2]) + 0.05f;
                if (opaque ? Apart(got, kLine) < 2.0 / 255 : darker) return true;
            }
        return false;
    }

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
    // Wine reads SV_Position.w as 1/w where Direct3D gives the clip w (position_probe.cpp), so
    // its line art is opaque: there only where it stands is checked.
    const bool blended = !UnderWine();
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
            double fromBlend = 0;
            for (int c = 0; c < 3; ++c)
                fromBlend = std::max(fromBlend, std::fabs(got[c] - (bg[c] * (1 - s.alpha) + kLine[c] * s.alpha)));
            EXPECT_GT(Apart(got, bg), 0.1) << ms << " ms, nothing at " << p.x << "," << p.y << "," << p.z;
            EXPECT_TRUE(!blended || Apart(got, kLine) > 0.03)
                << ms << " ms, drawn opaque at " << p.x << "," << p.y << "," << p.z;
            // Where no other line art lies in front, exactly the mix its depth gives.
            exact += fromBlend < 4.0 / 255;
            ++checked;
        }
        EXPECT_TRUE(!blended || exact * 3 >= checked * 2) << ms << " ms: " << exact << " of " << checked;
        EXPECT_GE(checked, 8) << ms;

        // The insulators of the two nearest rows darken their pixel towards the line colour, the
        // wires (25 units back towards the camera from each anchor, sagging 2.5) one next to
        // their path; the guard rail's three wires from each post (8 units, sagging 0.25) and
        // the fence's three rails are drawn opaque in the line colour.
        const double anchors[12][2] = {{0.2, 5.2}, {0.2, 6.4}, {-0.2, 6.4}, {0.4, 7.6}, {0.0, 7.6}, {-0.6, 7.6},
                                       {1.9, 5.2}, {2.2, 6.4}, {1.8, 6.4}, {2.8, 7.6}, {2.4, 7.6}, {1.8, 7.6}};
        enum { kInsulator, kFarInsulator, kWire, kRail, kFence };
        std::vector<std::pair<Point, int>> parts;
        for (double f = 0.0125; f < 1; f += 0.025) {
            for (int w = -5; w <= 4; ++w)
                for (int j = 0; j < 2; ++j)
                    for (const auto& [ax, ay] : anchors) {
                        const double x = 15 * w + std::fmod(travel, 15.0) + ax, z = 25 * j + 15 - 1.1;
                        if (f < 0.025) parts.push_back({{x, ay + 0.04, z - 0.125}, kInsulator + j});
                        parts.push_back({{x, ay - 2.5 * Sag(f), z - 25 * f}, kWire});
                    }
            for (int i = -4; i <= 2; ++i)
                for (int k = 0; k < 3; ++k) {
                    const double x = 8 * i + std::fmod(travel, 8.0) + 0.5 + 8 * f;
                    if (i >= -2 && i <= 1) parts.push_back({{x, 1.5 - 0.25 * Sag(f), 2.35 + 0.15 * k}, kRail});
                    parts.push_back({{i + std::fmod(travel, 1.0) + f - 0.5, 0.01 + 0.02 * k, 2}, kFence});
                }
        }
        int seen[5] = {}, drawn[5] = {};
        for (const auto& [p, kind] : parts) {
            const OnScreen s = Project(p);
            if (!s.visible) continue;
            ++seen[kind];
            drawn[kind] += Darkened(frame, (int)s.px, (int)s.py, kind >= kWire, kind >= kRail);
        }
        // All of the near row's insulators; a far one or a wire falls between pixel centres
        // now and then.
        const int share[] = {100, 70, 80, 90, 90};
        for (int kind : {kInsulator, kFarInsulator, kWire, kRail, kFence}) {
            EXPECT_GE(seen[kind], 16) << ms << " ms, part " << kind;
            EXPECT_GE(drawn[kind] * 100, seen[kind] * share[kind]) << ms << " ms, part " << kind << ": " << drawn[kind];
        }

        // Between the pylon rows, above the wires, lies only the background.
        int sky = 0;
        for (int x = 0; x < kWidth; x += 7) {
            sky += Apart(frame.At(x, 2), background.At(x, 2)) < 1e-6f;
        }
        EXPECT_GT(sky, kWidth / 7 / 2) << ms;
    }
}

// The billboard in view, every pixel of it traced back onto its plane: where its picture is
// opaque (board, catwalk and the legs down into the ground) the picture shows. At 5 s it is
// the one placed 15 units back, at 14 s the one 55 units back.
TEST_F(RoadSceneTest, EachBillboardShowsItsOwnPictureDownToTheGround) {
    const double len = std::sqrt(19.9 * 19.9 + 101.0 * 101.0), zy = 19.9 / len, zz = 101.0 / len;
    const double h = 1.0 / std::tan(M_PI / 8);
    for (const auto& [ms, back, picture] : {std::tuple{5000u, 15.0, 1}, std::tuple{14000u, 55.0, 0}}) {
        const double left = Travel(ms / 1000.0) - back;
        int legs = 0;
        auto at = [&](double px, double py) {
            // The view ray through the pixel meets the plane z = 10, 11 units ahead of the eye.
            const double vx = (px / kWidth * 2 - 1) * (16.0 / 9.0) / h, vy = (1 - py / kHeight * 2) / h;
            const double t = 11 / (zz - vy * zy);
            const double u = (t * vx - left) / 4.38 + 0.5, v = 0.5 - (0.1 + t * (vy * zz + zy) - 1.25) / 3;
            std::array<double, 4> texel = Sample(pictures[picture], u, v);
            // Only where the billboard is, and the car in front of it is not.
            const double carU = (2 * px - CarOffset(ms / 1000.0)) / 1280, carV = 2 * py / 720;
            if (u < 0.005 || u > 0.995 || v < 0.005 || v > 0.995 || Sample(pictures[2], carU, carV)[3] > 0)
                texel[3] = 0;
            legs += texel[3] >= 1 && v > 0.75;  // below the board, above the ground at 11/12
            return texel;
        };
        const OnScreen a = Project({left - 2.19, 2.75, 10}), b = Project({left + 2.19, -0.25, 10});
        const auto [opaque, wrong] =
            OpaquePartsShown(Draw(ms), (int)a.px - 2, (int)a.py - 2, (int)b.px + 2, (int)b.py + 2, at);
        EXPECT_GT(opaque, 6000) << ms;
        EXPECT_GT(legs, 100) << ms;
        EXPECT_LT(wrong, opaque / 100) << ms << " ms: " << wrong << " of " << opaque << " opaque pixels";
    }
}

// Opaque, even patches of the car picture land where its offset puts them, and the wheels
// turned by their angle; at 15.5 s the car has all but left to the left.
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
        // The wheels turn by speedFactor x t x 2 radians, counter-clockwise on screen: each
        // pixel of a wheel shows its picture turned back by that angle about the centre.
        const double angle = (1.5 + 0.125 * ms / 1000.0) * ms / 1000.0 * 2;
        for (const auto& [centre, size, picture] : {std::tuple{465.0, 90.0, 3}, std::tuple{825.0, 95.0, 4}}) {
            const double cx = (offset + centre) / 2;
            auto at = [&](double px, double py) {
                const double dx = (px - cx) / size * 2, dy = (py - 300) / size * 2;
                const double c = std::cos(angle), s = std::sin(angle);
                std::array<double, 4> texel = Sample(pictures[picture], dx * c - dy * s + 0.5, dx * s + dy * c + 0.5);
                if (std::hypot(dx, dy) > 0.3) texel[3] = 0;  // the rim and its spokes
                return texel;
            };
            const auto [opaque, wrong] = OpaquePartsShown(frame, (int)cx - 20, 280, (int)cx + 20, 320, at);
            EXPECT_GE(opaque, cx < 2 || cx >= kWidth - 2 ? 0 : 400) << ms;
            EXPECT_LT(wrong, opaque / 20 + 1) << ms << " ms, wheel at " << centre;
        }
    }
}

}  // namespace
}  // namespace quarvel::test
