// The scripted camera of the road scene: a low eye beside the road, looking along +z and a
// little upwards, through a fixed 16:9 lens. Inline so that the build-time picture tools
// place the background's horizon exactly where this camera sees the ground.
#pragma once

#include "draw/xmath.h"

inline XMMATRIX RoadViewMatrix() {
    const XMVECTOR eye = XMVectorSet(0.0f, 0.1f, -1.0f, 0.0f);
    const XMVECTOR direction = XMVectorSet(0.0f, 19.9f, 101.0f, 0.0f);
    const XMVECTOR up = XMVectorSet(0.0f, 1.0f, 0.0f, 0.0f);
    return XMMatrixLookToLH(eye, direction, up);
}

// Independent of the window: the letterbox viewport keeps every window at 16:9.
inline XMMATRIX RoadProjectionMatrix() {
    return XMMatrixPerspectiveFovLH(XM_PIDIV4, 1280.0f / 720.0f, 0.01f, 500.0f);
}
