// The road scene's motion values, the cross-fade weight and the scene camera: pure
// functions of the music time, checked at the edges of the timeline.
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include "scene/road_camera.h"
#include "scene/road_motion.h"
#include "scene/road_scene.h"

namespace {

uint32_t Bits(float value) {
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST(SceneMotionTest, StartsAtRestWithTheCarOffToTheRight) {
    const RoadMotion m = ComputeRoadMotion(0.0f);
    EXPECT_EQ(m.travel, 0.0f);
    EXPECT_EQ(m.phase15, 0.0f);
    EXPECT_EQ(m.phase8, 0.0f);
    EXPECT_EQ(m.phase2, 0.0f);
    EXPECT_EQ(m.phase1, 0.0f);
    EXPECT_EQ(m.carOffset, 960.0f);
    EXPECT_EQ(m.wheelAngle, 0.0f);
    EXPECT_EQ(m.speedFactor, 1.5f);
}

TEST(SceneMotionTest, CarSlidesInAndOut) {
    EXPECT_EQ(CarOffset(1.0f), 960.0f);
    EXPECT_EQ(CarOffset(2.0f), 960.0f);
    // Half way in: sin(2 * 0.392699) is about 0.7071.
    EXPECT_NEAR(CarOffset(4.0f), 281.2f, 0.1f);
    EXPECT_NEAR(CarOffset(6.0f), 0.0f, 1e-3f);
    EXPECT_NEAR(CarOffset(10.0f), 0.0f, 1e-3f);
    EXPECT_NEAR(CarOffset(14.0f), 0.0f, 1e-3f);
    EXPECT_NEAR(CarOffset(15.5f), -960.0f, 0.01f);
    EXPECT_NEAR(CarOffset(17.0f), -1920.0f, 1e-3f);
    EXPECT_NEAR(CarOffset(25.0f), -1920.0f, 1e-3f);
    // The offset eases: it only ever moves left, and without jumps.
    for (float t = 0.0f; t < 20.0f; t += 0.01f) {
        ASSERT_LE(CarOffset(t + 0.01f), CarOffset(t) + 1e-3f) << t;
        ASSERT_LT(CarOffset(t) - CarOffset(t + 0.01f), 12.0f) << t;  // at most about 1000 px/s
    }
}

TEST(SceneMotionTest, TravelFollowsTheScrollRate) {
    EXPECT_NEAR(RoadTravel(10.0f), 31.6667f, 1e-3f);
    EXPECT_FLOAT_EQ(RoadTravel(15.0f), 60.0f);
    EXPECT_NEAR(RoadTravel(17.0f), 67.3333f, 1e-3f);
    for (float t : {19.0f, 20.0f, 24.5f, 30.0f}) EXPECT_NEAR(RoadTravel(t), 2.0f * t + 32.0f, 1e-4f) << t;
    // Continuous where the rate jumps (15 s, 19 s) and where braking starts (16 s), and
    // never running backwards.
    for (float t : {15.0f, 16.0f, 19.0f}) EXPECT_NEAR(RoadTravel(t + 1e-3f), RoadTravel(t - 1e-3f), 0.02f) << t;
    for (float t = 0.0f; t < 30.0f; t += 0.01f) ASSERT_GE(RoadTravel(t + 0.01f), RoadTravel(t)) << t;
}

TEST(SceneMotionTest, PhasesAndOffsetsMidScene) {
    const RoadMotion m = ComputeRoadMotion(15.5f);
    EXPECT_FLOAT_EQ(m.travel, 62.0f);
    EXPECT_FLOAT_EQ(m.phase15, 2.0f);
    EXPECT_FLOAT_EQ(m.phase8, 6.0f);
    EXPECT_FLOAT_EQ(m.phase2, 0.0f);
    EXPECT_FLOAT_EQ(m.phase1, 0.0f);
    EXPECT_NEAR(m.carOffset, -960.0f, 0.01f);
}

TEST(SceneMotionTest, WheelsSpinFasterAsTheSceneGoesOn) {
    const RoadMotion m = ComputeRoadMotion(20.0f);
    EXPECT_NEAR(m.travel, 72.0f, 1e-4f);
    EXPECT_FLOAT_EQ(m.speedFactor, 4.0f);
    EXPECT_NEAR(m.wheelAngle, 160.0f, 1e-3f);
    EXPECT_EQ(WheelAngle(20.0f), m.wheelAngle);
}

TEST(SceneMergeWeightTest, CrossFadesFromSeventeenToNineteenSeconds) {
    EXPECT_EQ(MergeWeight(0), 0.0f);
    EXPECT_EQ(MergeWeight(16999), 0.0f);
    EXPECT_EQ(MergeWeight(17000), 0.0f);
    EXPECT_EQ(MergeWeight(17001), 0.0005f);
    EXPECT_EQ(MergeWeight(18000), 0.5f);
    EXPECT_EQ(MergeWeight(19000), 1.0f);
    EXPECT_EQ(MergeWeight(19001), 1.0f);
    EXPECT_EQ(MergeWeight(30000), 1.0f);
}

TEST(SceneCameraTest, ProjectionIsTheFixedSixteenByNineLens) {
    const XMMATRIX p = RoadProjectionMatrix();
    EXPECT_NEAR(p.r[0].v[0], 1.3579950f, 1e-6f);
    EXPECT_NEAR(p.r[1].v[1], 2.4142134f, 1e-6f);
    EXPECT_EQ(Bits(p.r[2].v[2]), 0x3F8000A8u);
    EXPECT_EQ(p.r[2].v[3], 1.0f);
    EXPECT_EQ(Bits(p.r[3].v[2]), 0xBC23D7E1u);
    EXPECT_EQ(p.r[3].v[3], 0.0f);
}

}  // namespace
