// The debug camera's numbers, frame by frame, in single precision.
#include <gtest/gtest.h>

#include <math.h>

#include "app/debug_camera.h"
#include "app/window_proc.h"
#include "win32/input_script.h"

namespace {

class AppDebugCamera : public ::testing::Test {
protected:
    void SetUp() override {
        debugCamera = DebugCamera();
        windowActive = true;
    }
    void TearDown() override {
        for (SDL_Scancode key : {SDL_SCANCODE_W, SDL_SCANCODE_HOME, SDL_SCANCODE_Q, SDL_SCANCODE_PAGEUP})
            quarvel::platform::InjectKey(key, false);
        windowActive = false;
    }
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
    EXPECT_EQ(debugCamera.speedBack, 0.0f);
    EXPECT_EQ(debugCamera.speedUp, 0.0f);
}

// Q and Page Up are one up key, Home resets once until released, and an inactive window
// keeps the keys polled last.
TEST_F(AppDebugCamera, PolledKeys) {
    debugCamera.heldUpQ = 1;
    Frames(20);
    const float qOnly = debugCamera.speedUp;
    debugCamera = DebugCamera();
    debugCamera.heldUpQ = 1;
    debugCamera.heldPageUp = 1;
    Frames(20);
    EXPECT_EQ(debugCamera.speedUp, qOnly);

    debugCamera = DebugCamera();
    debugCamera.position = XMFLOAT4(3.0f, 4.0f, 5.0f, 0.0f);
    debugCamera.yawInput = 40.0f;
    for (SDL_Scancode key : {SDL_SCANCODE_Q, SDL_SCANCODE_PAGEUP, SDL_SCANCODE_HOME, SDL_SCANCODE_W})
        quarvel::platform::InjectKey(key, true);
    PollKeys();
    EXPECT_EQ(debugCamera.heldUpQ, 1);
    EXPECT_EQ(debugCamera.heldPageUp, 1);
    EXPECT_EQ(debugCamera.heldForward, 1);
    EXPECT_EQ(debugCamera.position.x, 0.0f);
    EXPECT_EQ(debugCamera.forward.z, 1.0f);
    EXPECT_EQ(debugCamera.yawInput, 0.0f);
    debugCamera.position.x = 7.0f;  // flying on with Home still held: no second reset
    PollKeys();
    EXPECT_EQ(debugCamera.position.x, 7.0f);
    quarvel::platform::InjectKey(SDL_SCANCODE_HOME, false);
    PollKeys();
    EXPECT_EQ(debugCamera.homeLatch, 0);
    quarvel::platform::InjectKey(SDL_SCANCODE_HOME, true);
    PollKeys();
    EXPECT_EQ(debugCamera.position.x, 0.0f);

    windowActive = false;
    quarvel::platform::InjectKey(SDL_SCANCODE_W, false);
    PollKeys();
    EXPECT_EQ(debugCamera.heldForward, 1);  // still flying forward
    windowActive = true;
    PollKeys();
    EXPECT_EQ(debugCamera.heldForward, 0);
}

TEST_F(AppDebugCamera, AnglesWrapOnceAndVectorsFollowThem) {
    // The vectors at a plain yaw are the drag test's (window_proc_test).
    debugCamera.yawInput = -100.0f;  // below zero: one turn added
    debugCamera.pitchInput = 1400.0f;  // 7 rad: one turn taken off
    UpdateDebugCamera();
    EXPECT_NEAR(debugCamera.yaw, 6.28318548f - 0.5f, 1e-5f);
    EXPECT_NEAR(debugCamera.pitch, 7.0f - 6.28318548f, 1e-5f);
    EXPECT_NEAR(debugCamera.forward.y, -sinf(debugCamera.pitch), 1e-6f);
    const XMFLOAT4& up = debugCamera.up;
    EXPECT_NEAR(up.x * up.x + up.y * up.y + up.z * up.z, 1.0f, 1e-5f);
}

}  // namespace
