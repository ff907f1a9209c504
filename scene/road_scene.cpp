#include "scene/road_scene.h"

#include <stdint.h>

#include "app/debug_camera.h"
#include "app/main_loop.h"
#include "app/scene_resources.h"
#include "draw/camera.h"
#include "draw/sprites.h"
#include "gfx/shader_program.h"
#include "post/post_chain.h"
#include "scene/road_camera.h"
#include "scene/road_motion.h"
#include "scene/wire_anchors.h"

static const uint32_t kLinePacked = 0x00130839;

const float lineColour[4] = {
    (float)((kLinePacked >> 16) & 0xFF) / 255.0f,
    (float)((kLinePacked >> 8) & 0xFF) / 255.0f,
    (float)(kLinePacked & 0xFF) / 255.0f,
    (float)((kLinePacked >> 24) & 0xFF) / 255.0f,
};

static const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

static void SetBlend(ID3D11BlendState* state) {
    const float factor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    graphics.context->OMSetBlendState(state, factor, 0xFFFFFFFF);
}

static void SetSpriteColour(const float colour[4]) {
    UpdateConstants(graphics.texture2DProgram->constants, colour);
}

static void SetCamera() {
    viewMatrix = RoadViewMatrix();
    if (useDebugCamera) {
        const XMVECTOR position = XMLoadFloat4(&debugCamera.position);
        const XMVECTOR forward = XMLoadFloat4(&debugCamera.forward);
        const XMVECTOR up = XMLoadFloat4(&debugCamera.up);
        viewMatrix = XMMatrixLookToLH(position, XMVectorSubtract(XMVectorAdd(position, forward), position), up);
    }
    projectionMatrix = RoadProjectionMatrix();
}

// Ten columns of five pylons, each with its twelve insulators and wires, a marker block
// per pylon, and a road post per column.
static void DrawPylonField(const RoadMotion& motion) {
    bool firstWire = true;
    const XMMATRIX wireTurn = XMMatrixRotationY(1.57079601f);
    for (int w = -5; w <= 4; ++w) {
        const float x = 15.0f * (float)w + motion.phase15;
        for (int j = 0; j < 5; ++j) {
            const float z = 25.0f * (float)j + 15.0f;
            // A mesh that failed to load is not drawn (the draw has no null check).
            if (pylonMesh) graphics.DrawMesh(pylonMesh, XMMatrixTranslation(x, kPylonBaseY, z), lineColour);
            for (const WireAnchor& anchor : wireAnchors) {
                const XMMATRIX at = XMMatrixTranslation(x + anchor.x, anchor.y, z + anchor.z);
                graphics.DrawBox(NULL, at, 0.125f, 0.125f, 0.25f, lineColour);
                graphics.DrawSagStrip(NULL, XMMatrixMultiply(wireTurn, at), 0.5f, 0.02f, 0.02f, lineColour, 250.0f,
                                      firstWire);
                firstWire = false;
            }
            graphics.DrawBox(NULL, XMMatrixTranslation(x + 2.0f * (float)j + 3.5f, 0.0f, 12.0f * (float)j + 12.5f),
                             0.5f, 0.5f, 0.5f, lineColour);
        }
        const float x8 = 8.0f * (float)w + motion.phase8 + 0.5f;
        graphics.DrawBox(NULL, XMMatrixTranslation(x8, 0.7f, 2.5f), 0.03f, 1.6f, 0.03f, lineColour);
        graphics.DrawBox(NULL, XMMatrixTranslation(x8, 1.5f, 2.5f), 0.03f, 0.03f, 0.5f, lineColour);
    }
}

static void DrawBillboards(const RoadMotion& motion) {
    const XMMATRIX upright = XMMatrixRotationX(1.5707963705062866f);
    graphics.DrawPlane(NULL, billboardTexture2,
                       XMMatrixMultiply(upright, XMMatrixTranslation(motion.travel - 15.0f, 1.25f, 10.0f)), 4.38f,
                       3.0f, kWhite);
    graphics.DrawPlane(NULL, billboardTexture1,
                       XMMatrixMultiply(upright, XMMatrixTranslation(motion.travel - 55.0f, 1.25f, 10.0f)), 4.38f,
                       3.0f, kWhite);
}

static void DrawGuardRailAndFence(const RoadMotion& motion) {
    for (int i = -2; i <= 1; ++i) {
        const float x = 8.0f * (float)i + motion.phase8 + 0.5f;
        graphics.DrawSagStrip(NULL, XMMatrixTranslation(x, 1.5f, 2.65f), 0.16f, 0.01f, 0.01f, lineColour, 50.0f,
                              i == -2);
        graphics.DrawSagStrip(NULL, XMMatrixTranslation(x, 1.5f, 2.5f), 0.16f, 0.01f, 0.01f, lineColour, 50.0f, false);
        graphics.DrawSagStrip(NULL, XMMatrixTranslation(x, 1.5f, 2.35f), 0.16f, 0.01f, 0.01f, lineColour, 50.0f,
                              false);
    }
    for (int i = -4; i <= 2; ++i) {
        const float x1 = (float)i + motion.phase1;
        graphics.DrawBox(NULL, XMMatrixTranslation(2.0f * (float)i + motion.phase2, 0.0f, 2.0f), 0.01f, 0.1f, 0.01f,
                         lineColour);
        graphics.DrawBox(NULL, XMMatrixTranslation(x1, 0.03f, 2.0f), 1.0f, 0.01f, 0.01f, lineColour);
        graphics.DrawBox(NULL, XMMatrixTranslation(x1, 0.01f, 2.0f), 1.0f, 0.01f, 0.01f, lineColour);
        graphics.DrawBox(NULL, XMMatrixTranslation(x1, 0.05f, 2.0f), 1.0f, 0.01f, 0.01f, lineColour);
    }
}

static void DrawCar(const RoadMotion& motion) {
    graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
    SetBlend(graphics.blendAlpha);
    SetSpriteColour(kWhite);
    DrawSprite(graphics.texture2DProgram, carTexture, motion.carOffset, 0.0f, 1280.0f, 720.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    DrawRotatedSprite(wheelTexture134, motion.carOffset + 465.0f, 600.0f, 90.0f, 90.0f, motion.wheelAngle);
    DrawRotatedSprite(wheelTexture142, motion.carOffset + 825.0f, 600.0f, 95.0f, 95.0f, motion.wheelAngle);
}

void DrawRoadScene() {
    SetSpriteColour(kWhite);
    DrawSprite(graphics.texture2DProgram, backgroundTexture, 0.0f, 0.0f, 1280.0f, 720.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    SetCamera();
    const RoadMotion motion = ComputeRoadMotion(musicTimeSec);
    if (debugFloat > -0.1f) SetBlend(graphics.blendAlpha);
    DrawPylonField(motion);
    SetBlend(graphics.blendAlpha);
    DrawBillboards(motion);
    SetBlend(graphics.blendOpaque);
    DrawGuardRailAndFence(motion);
    DrawCar(motion);
    SetBlend(graphics.blendOpaque);
    postChain.ApplyVhs();
}
