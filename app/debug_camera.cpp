#include "app/debug_camera.h"

#include <math.h>
#include <windows.h>

#include "app/window_proc.h"

DebugCamera debugCamera;
bool useDebugCamera = false;

static const float kAcceleration = 0.00015f;
static const float kDeceleration = 0.0001f;
static const float kSpeedCap = 0.005f;
static const float kBoostCap = 0.01f;
static const float kBoostDecay = 0.005f;
static const float kRadiansPerPixel = 0.005f;
static const float kTwoPi = 6.28318548f;

void SetDebugCameraStart() {
    debugCamera.forward = XMFLOAT4(0.0f, 19.9f, 101.0f, 0.0f);
    debugCamera.position = XMFLOAT4(0.0f, 0.1f, -1.0f, 0.0f);
    debugCamera.up = XMFLOAT4(0.0f, 1.0f, 0.0f, 0.0f);
}

static int32_t KeyDown(int key) { return (GetAsyncKeyState(key) & 0x8000) ? 1 : 0; }

void PollKeys() {
    if (!windowActive) return;
    debugCamera.heldForward = KeyDown('W');
    debugCamera.heldBack = KeyDown('S');
    debugCamera.heldLeft = KeyDown('A');
    debugCamera.heldRight = KeyDown('D');
    debugCamera.heldUpQ = KeyDown('Q');
    debugCamera.heldDownZ = KeyDown('Z');
    debugCamera.heldPageUp = KeyDown(VK_PRIOR);
    debugCamera.heldPageDown = KeyDown(VK_NEXT);
    debugCamera.heldBoost = KeyDown(VK_LSHIFT);
    if (KeyDown(VK_HOME)) {
        // A held Home resets once: the latch waits for the release.
        if (!debugCamera.homeLatch) {
            debugCamera.up = XMFLOAT4(0.0f, 1.0f, 0.0f, 0.0f);
            debugCamera.right = XMFLOAT4(1.0f, 0.0f, 0.0f, 0.0f);
            debugCamera.forward = XMFLOAT4(0.0f, 0.0f, 1.0f, 0.0f);
            debugCamera.position = XMFLOAT4(0.0f, 0.0f, 0.0f, 0.0f);
            debugCamera.yawInput = 0.0f;
            debugCamera.pitchInput = 0.0f;
            debugCamera.homeLatch = 1;
        }
    } else {
        debugCamera.homeLatch = 0;
    }
}

// Accelerates while held (the cap may be overshot by less than one step), otherwise slows
// down to rest.
static void UpdateSpeed(float* speed, bool held, float cap) {
    if (held) {
        if (*speed < cap) *speed += kAcceleration;
    } else if (*speed > 0.0f) {
        *speed -= kDeceleration;
        if (*speed < 0.0f) *speed = 0.0f;
    }
}

static void AddScaled(XMFLOAT4* to, const XMFLOAT4& v, float scale) {
    to->x += scale * v.x;
    to->y += scale * v.y;
    to->z += scale * v.z;
    to->w += scale * v.w;
}

static float WrapAngle(float angle) {
    if (angle > kTwoPi)
        angle -= kTwoPi;
    else if (angle < 0.0f)
        angle += kTwoPi;
    return angle;
}

// Normalises x, y, z (w = 0): a zero vector stays zero, an infinite one becomes NaN.
static XMFLOAT4 Normalised3(float x, float y, float z) {
    float length = sqrtf(x * x + y * y + z * z);
    if (length == 0.0f) return XMFLOAT4(0.0f, 0.0f, 0.0f, 0.0f);
    if (isinf(length)) return XMFLOAT4(NAN, NAN, NAN, 0.0f);
    return XMFLOAT4(x / length, y / length, z / length, 0.0f);
}

void UpdateDebugCamera() {
    DebugCamera& c = debugCamera;
    const float cap = c.boost + kSpeedCap;  // from the boost on entry
    UpdateSpeed(&c.speedForward, c.heldForward != 0, cap);
    UpdateSpeed(&c.speedBack, c.heldBack != 0, cap);
    UpdateSpeed(&c.speedLeft, c.heldLeft != 0, cap);
    UpdateSpeed(&c.speedRight, c.heldRight != 0, cap);
    UpdateSpeed(&c.speedUp, c.heldPageUp || c.heldUpQ, cap);
    UpdateSpeed(&c.speedDown, c.heldPageDown || c.heldDownZ, cap);

    if (c.heldBoost) {
        if (c.boost < kBoostCap) c.boost += kAcceleration;
    } else if (c.boost > 0.0f) {
        c.boost -= kBoostDecay;
        if (c.boost < 0.0f) c.boost = 0.0f;
    }

    // The boost is added to both speeds of each pair, so it cancels out; all it does is
    // raise the cap above.
    const float b = c.boost;
    AddScaled(&c.position, c.forward, c.speedForward + b);
    AddScaled(&c.position, c.forward, -(c.speedBack + b));
    AddScaled(&c.position, c.right, -(c.speedLeft + b));
    AddScaled(&c.position, c.right, c.speedRight + b);
    AddScaled(&c.position, c.up, c.speedUp + b);
    AddScaled(&c.position, c.up, -(c.speedDown + b));

    c.yaw = WrapAngle(c.yawInput * kRadiansPerPixel);
    c.pitch = WrapAngle(c.pitchInput * kRadiansPerPixel);

    const float sinYaw = sinf(c.yaw), cosYaw = cosf(c.yaw);
    const float sinPitch = sinf(c.pitch), cosPitch = cosf(c.pitch);
    c.forward = XMFLOAT4(cosPitch * sinYaw, -sinPitch, cosPitch * cosYaw, 0.0f);
    c.right = XMFLOAT4(cosYaw, 0.0f, -sinYaw, 0.0f);
    const XMFLOAT4& f = c.forward;
    const XMFLOAT4& r = c.right;
    c.up = Normalised3(f.y * r.z - f.z * r.y, f.z * r.x - f.x * r.z, f.x * r.y - f.y * r.x);
}
