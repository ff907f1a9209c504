// The debug camera's numbers, frame by frame, in single precision.
#include <gtest/gtest.h>

#include <math.h>

#include "app/debug_camera.h"

namespace {

// Only the running numbers: the camera turns and flies, but no frame of the presentation
// looks through it, and its keys are polled only while the window is active.
class AppDebugCamera : public ::testing::Test {
protected:
    void SetUp() override { debugCamera = DebugCamera(); }
    static void Frames(int count) {
        for (int i = 0; i < count; ++i) UpdateDebugCamera();
    }
};

TEST_F(AppDebugCamera, HoldingWClimbsFor34FramesAndStopsOnThe52ndAfterRelease) {
    debugCamera.heldForward = 1;
    float previous = 0.0f;
    for (int frame = 1; frame <= 34; ++frame) {
        UpdateDebugCamera();
        EXPECT_GT(debugCamera.speedForward, previous) << "frame " << frame;
        previous = debugCamera.speedForward;
    }
    EXPECT_NEAR(debugCamera.speedForward, 0.0051f, 1e-6f);
    Frames(10);
    EXPECT_EQ(debugCamera.speedForward, previous);  // held at the cap

    debugCamera.heldForward = 0;
    for (int frame = 1; frame <= 51; ++frame) {
        UpdateDebugCamera();
        EXPECT_GT(debugCamera.speedForward, 0.0f) << "frame " << frame;
    }
    UpdateDebugCamera();
    EXPECT_EQ(debugCamera.speedForward, 0.0f);
    // Only forward moved: from the start position along the vectors of each previous frame.
    EXPECT_EQ(std::make_pair(debugCamera.speedBack, debugCamera.speedUp), std::make_pair(0.0f, 0.0f));
}

TEST_F(AppDebugCamera, AnglesWrapOnceAndVectorsFollowThem) {
    debugCamera.yawInput = -100.0f;  // below zero: one turn added
    debugCamera.pitchInput = 1400.0f;  // 7 rad: one turn taken off
    UpdateDebugCamera();
    EXPECT_NEAR(debugCamera.yaw, 6.28318548f - 0.5f, 1e-5f);
    EXPECT_NEAR(debugCamera.pitch, 7.0f - 6.28318548f, 1e-5f);
    const float p = debugCamera.pitch;
    EXPECT_NEAR(debugCamera.forward.x, -sinf(0.5f) * cosf(p), 1e-5f);
    EXPECT_NEAR(debugCamera.forward.y, -sinf(p), 1e-6f);
    EXPECT_NEAR(debugCamera.forward.z, cosf(0.5f) * cosf(p), 1e-5f);
    const XMFLOAT4& up = debugCamera.up;
    EXPECT_NEAR(up.x * up.x + up.y * up.y + up.z * up.z, 1.0f, 1e-5f);
}

}  // namespace
