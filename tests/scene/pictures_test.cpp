// The generated pictures, checked for what the scene relies on: where they are transparent,
// where the wheels sit in the car, that a wheel's turn shows, and where the sunset's horizon is.
#include <gtest/gtest.h>
#include <math.h>

#include <string>

#include "sea_model.h"

namespace quarvel::test {
namespace {

Picture Load(const char* name) {
    Picture picture;
    EXPECT_TRUE(picture.Load(std::string("Data/") + name)) << name;
    return picture;
}

// Finds, along a row, where the dark wheel well begins and ends around a centre.
void WellEdges(const Picture& car, int y, int centre, int* left, int* right) {
    auto dark = [&](int x) {
        const unsigned char* p = car.At(x, y);
        return p[3] == 255 && p[0] < 60 && p[1] < 40;
    };
    *left = *right = centre;
    while (*left > 0 && dark(*left - 1)) --*left;
    while (*right < car.width - 1 && dark(*right + 1)) ++*right;
}

TEST(ScenePicturesTest, CarArchesAreCentredOnTheWheels) {
    const Picture car = Load("_Ketra_road_scene_car_1080_opa_win.png");
    ASSERT_EQ(car.width, 1920);
    // The wheels are drawn centred on virtual (465, 600) and (825, 600): picture pixels
    // (697.5, 900) and (1237.5, 900).
    for (double centre : {697.5, 1237.5}) {
        for (int y : {840, 870, 900}) {
            int left, right;
            WellEdges(car, y, (int)centre, &left, &right);
            EXPECT_GT(right - left, 120) << centre << " row " << y;
            EXPECT_NEAR((left + right + 1) * 0.5, centre, 1.5) << centre << " row " << y;
        }
    }
    // Transparent round the car, opaque windows.
    EXPECT_EQ(car.At(5, 5)[3], 0);
    EXPECT_EQ(car.At(960, 300)[3], 0);
    EXPECT_EQ(car.At(1914, 1074)[3], 0);
    EXPECT_EQ(car.At(1120, 720)[3], 255);
}

TEST(ScenePicturesTest, WheelsAreRoundWithSpokesThatShowTheTurn) {
    for (const char* name : {"_Ketra_road_scene_car_wheel_134x134.png", "_Ketra_road_scene_car_wheel_142x142.png"}) {
        const Picture wheel = Load(name);
        ASSERT_GT(wheel.width, 0);
        const double c = wheel.width * 0.5, r = wheel.width * 0.5;
        EXPECT_EQ(wheel.At(0, 0)[3], 0) << name;
        EXPECT_EQ(wheel.At(wheel.width - 1, wheel.height - 1)[3], 0) << name;
        EXPECT_EQ(wheel.At((int)c, (int)c)[3], 255) << name;
        // Turned by a fifth of a turn (the spokes' own symmetry) or by half a turn, the
        // picture does not look the same.
        for (double turn : {2.0 * M_PI / 5.0, M_PI}) {
            double difference = 0.0;
            int samples = 0;
            for (double radius = 0.1 * r; radius < 0.9 * r; radius += 2.0)
                for (double a = 0.0; a < 2.0 * M_PI; a += 0.05) {
                    const unsigned char* p = wheel.At((int)(c + radius * cos(a)), (int)(c + radius * sin(a)));
                    const unsigned char* q =
                        wheel.At((int)(c + radius * cos(a + turn)), (int)(c + radius * sin(a + turn)));
                    difference += fabs(p[0] - q[0]) + fabs(p[1] - q[1]) + fabs(p[2] - q[2]);
                    ++samples;
                }
            EXPECT_GT(difference / samples, 4.0) << name << " turned by " << turn;
        }
    }
}

// The sea shader maps the horizon to the middle row: sky and mountains above, water
// below, so the picture changes most from one row to the next exactly there.
TEST(ScenePicturesTest, SunsetSkyMeetsTheWaterOnTheMiddleRow) {
    const Picture sky = Load("_neon_sunset_SUN_and_MNTNS.png");
    ASSERT_EQ(sky.height, 1024);
    int sharpest = 0;
    double change = 0.0;
    for (int y = 1; y < sky.height; ++y) {
        double sum = 0.0;
        for (int x = 0; x < sky.width; ++x) {
            const unsigned char *p = sky.At(x, y - 1), *q = sky.At(x, y);
            sum += abs(p[0] - q[0]) + abs(p[1] - q[1]) + abs(p[2] - q[2]);
        }
        if (sum > change) {
            change = sum;
            sharpest = y;
        }
    }
    EXPECT_EQ(sharpest, sky.height / 2);
    // The sun sits on the horizon in the middle.
    const unsigned char* sun = sky.At(sky.width / 2, sky.height / 2 - 200);
    EXPECT_GT(sun[0], 230);
    EXPECT_GT(sun[1], 150);
}

}  // namespace
}  // namespace quarvel::test
