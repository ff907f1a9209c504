// The road scene's motion values and the cross-fade weight: pure functions of the music
// time, checked at the edges of the timeline.
#include <gtest/gtest.h>

#include <tuple>

#include "scene/road_motion.h"
#include "scene/road_scene.h"

namespace {

// Where the car, the scroll distance and the rows it picks are in the picture is the
// road-scene test's to check; these are the values nothing there shows: the start, the
// wheels' speed and the scroll's continuity.
TEST(SceneMotionTest, AtRestThenWheelsFasterAndTheScrollContinuous) {
    const RoadMotion rest = ComputeRoadMotion(0.0f);
    EXPECT_EQ(std::make_tuple(rest.travel, rest.phase15 + rest.phase8 + rest.phase2 + rest.phase1, rest.carOffset,
                              rest.wheelAngle, rest.speedFactor),
              std::make_tuple(0.0f, 0.0f, 960.0f, 0.0f, 1.5f));

    const RoadMotion late = ComputeRoadMotion(20.0f);
    EXPECT_NEAR(late.travel, 72.0f, 1e-4f);
    EXPECT_FLOAT_EQ(late.speedFactor, 4.0f);
    EXPECT_NEAR(late.wheelAngle, 160.0f, 1e-3f);
    EXPECT_EQ(WheelAngle(20.0f), late.wheelAngle);
    // Continuous where the rate jumps (15 s, 19 s) and where braking starts (16 s), and
    // never running backwards.
    for (float t : {15.0f, 16.0f, 19.0f}) EXPECT_NEAR(RoadTravel(t + 1e-3f), RoadTravel(t - 1e-3f), 0.02f) << t;
    for (float t = 0.0f; t < 30.0f; t += 0.01f) ASSERT_GE(RoadTravel(t + 0.01f), RoadTravel(t)) << t;
}

TEST(SceneMergeWeightTest, CrossFadesFromSeventeenToNineteenSeconds) {
    const std::pair<uint32_t, float> weights[] = {{0, 0.0f},     {16999, 0.0f}, {17000, 0.0f}, {17001, 0.0005f},
                                                  {18000, 0.5f}, {19000, 1.0f}, {19001, 1.0f}, {30000, 1.0f}};
    for (auto [ms, weight] : weights) EXPECT_EQ(MergeWeight(ms), weight) << ms;
}

}  // namespace
