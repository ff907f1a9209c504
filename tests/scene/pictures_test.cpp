// The generated pictures, checked for what the scene relies on: where they are transparent,
// where the wheels sit in the car, and where the sunset's horizon is. (That a wheel's turn
// shows is seen in the road scene's frames.)
#include <gtest/gtest.h>
#include <math.h>

#include <string>
#include <tuple>

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
    EXPECT_EQ(std::make_tuple(car.At(5, 5)[3], car.At(960, 300)[3], car.At(1914, 1074)[3], car.At(1120, 720)[3]),
              std::make_tuple(0, 0, 0, 255));
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
