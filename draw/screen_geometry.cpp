#include "draw/screen_geometry.h"

#include "draw/xmath.h"

void BuildSpriteQuad(ScreenVertex quad[4], float x, float y, float w, float h, float u0, float v0, float u1,
                     float v1) {
    const float left = VirtualToClipX(x);
    const float right = VirtualToClipX(x + w);
    const float top = VirtualToClipY(y);
    const float bottom = VirtualToClipY(y + h);
    quad[0] = {left, bottom, 0.0f, u0, v1};
    quad[1] = {left, top, 0.0f, u0, v0};
    quad[2] = {right, bottom, 0.0f, u1, v1};
    quad[3] = {right, top, 0.0f, u1, v0};
}

void BuildRotatedSpriteQuad(ScreenVertex quad[4], float x, float y, float w, float h, float angle) {
    // The turn is made y-up, so that a positive angle is counter-clockwise as seen.
    const XMMATRIX transform = XMMatrixMultiply(XMMatrixRotationZ(angle), XMMatrixTranslation(x, 720.0f - y, 0.0f));
    const float halfW = w * 0.5f;
    const float halfH = h * 0.5f;
    const float corners[4][4] = {{-halfW, halfH, 0.0f, 0.0f},
                                 {halfW, halfH, 1.0f, 0.0f},
                                 {-halfW, -halfH, 0.0f, 1.0f},
                                 {halfW, -halfH, 1.0f, 1.0f}};
    for (int i = 0; i < 4; ++i) {
        const XMVECTOR p = XMVector3Transform(XMVectorSet(corners[i][0], corners[i][1], 0.0f, 1.0f), transform);
        quad[i] = {XMVectorGetX(p) * 0.0015625f - 1.0f, XMVectorGetY(p) * 0.0027777778f - 1.0f, 0.0f, corners[i][2],
                   corners[i][3]};
    }
}
