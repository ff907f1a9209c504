// The free-flying debug camera: keys fly it, a left-button drag turns it. The road scene
// looks through it only while useDebugCamera is on.
#pragma once

#include <stdint.h>

#include "draw/xmath.h"

// Members start at the values the camera has before start-up sets its start vectors.
struct DebugCamera {
    XMFLOAT4 position = XMFLOAT4(0.0f, 0.1f, -1.0f, 0.0f);
    XMFLOAT4 forward = XMFLOAT4(0.0f, 19.9f, 101.0f, 0.0f);  // a unit vector after the first update
    XMFLOAT4 right = XMFLOAT4(0.0f, 0.0f, 0.0f, 0.0f);
    XMFLOAT4 up = XMFLOAT4(0.0f, 1.0f, 0.0f, 0.0f);
    int32_t heldForward = 0, heldBack = 0, heldLeft = 0, heldRight = 0, heldUpQ = 0, heldDownZ = 0,
            heldPageUp = 0, heldPageDown = 0, heldBoost = 0;
    int32_t homeLatch = 0;  // 1 from a Home press until Home is released
    // World units per frame, never negative.
    float speedForward = 0, speedBack = 0, speedLeft = 0, speedRight = 0, speedUp = 0, speedDown = 0;
    float boost = 0;                         // raises the speed cap, 0 to about 0.01
    float yawInput = 0, pitchInput = 0;      // accumulated drag in pixels
    bool dragging = false;
    float dragStartX = 0, dragStartY = 0;    // client pixels at the press
    float yawAtDragStart = 0, pitchAtDragStart = 0;
    float dragDeltaX = 0, dragDeltaY = 0;    // press position minus current position
    float yaw = 0, pitch = 0;                // radians
};

extern DebugCamera debugCamera;
extern bool useDebugCamera;

// The eye and direction of the scripted camera: where the debug camera starts.
void SetDebugCameraStart();
// Reads the flying keys into the held-key states; nothing while the window is inactive.
void PollKeys();
// Advances speeds, boost and position by one frame and rebuilds the direction vectors.
void UpdateDebugCamera();
