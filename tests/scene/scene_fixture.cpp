#include "scene_fixture.h"

#include <stdlib.h>

#include "app/main_loop.h"
#include "app/scene_resources.h"
#include "gfx/mesh.h"
#include "gfx/shader_program.h"
#include "post/post_chain.h"
#include "scene/compose_frame.h"

namespace quarvel::test {

bool OpenScene(int width, int height) {
    if (!OpenGraphics(width, height, true)) return false;
    static const D3D11_INPUT_ELEMENT_DESC layout[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
    };
    seaProgram = CreateShaderProgram("Shaders/FractalCloud.hlsl", "FractalCloudPS", "VS", layout, 2, 16);
    LoadSceneResources();
    return seaProgram->pixelShader && skyTexture && pylonMesh;
}

template <typename T>
static void Release(T*& object) {
    if (object) object->Release();
    object = NULL;
}

void ReleaseSceneResources() {
    for (ID3D11ShaderResourceView** view : {&backgroundTexture, &carTexture, &wheelTexture134, &wheelTexture142,
                                            &skyTexture, &billboardTexture1, &billboardTexture2})
        Release(*view);
    if (pylonMesh) {
        Release(pylonMesh->vertexBuffer);
        Release(pylonMesh->indexBuffer);
        free(pylonMesh);
        pylonMesh = NULL;
    }
}

void CloseScene() {
    ReleaseSceneResources();
    ReleaseShaderProgram(seaProgram);
    composeOptions = ComposeOptions();
    CloseGraphics();
}

void DrawFrameAt(uint32_t ms) {
    musicTimeMs = ms;
    musicTimeSec = (float)ms * 0.001f;
    const float black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    graphics.context->ClearRenderTargetView(graphics.backBufferView, black);
    graphics.context->ClearDepthStencilView(graphics.depthView, D3D11_CLEAR_DEPTH, 1.0f, 0);
    postChain.Begin();
    ComposeFrame();
    postChain.End();
}

Pixels ReadFrame() { return ReadTarget(graphics.backBufferView); }

Pixels ReadComposedImage() { return ReadTexture(postChain.textures[0]); }

void BindWholeTarget(const RenderTarget& target, int width, int height) {
    graphics.context->OMSetRenderTargets(1, &target.rtv, NULL);
    const D3D11_VIEWPORT viewport = {0, 0, (float)width, (float)height, 0, 1};
    graphics.context->RSSetViewports(1, &viewport);
}

}  // namespace quarvel::test
