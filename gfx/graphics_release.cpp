#include "gfx/graphics_context.h"
#include "gfx/shader_program.h"

namespace {

template <typename T>
void Release(T*& object) {
    if (object) {
        object->Release();
        object = NULL;
    }
}

void Release(RenderTarget& target) {
    Release(target.srv);
    Release(target.rtv);
    Release(target.texture);
}

}  // namespace

bool ReleaseGraphics() {
    ReleaseShaderProgram(graphics.colorProgram);
    ReleaseShaderProgram(graphics.textProgram);
    ReleaseShaderProgram(graphics.diffuseProgram);
    ReleaseShaderProgram(graphics.hemisphereProgram);
    ReleaseShaderProgram(graphics.textureProgram);
    ReleaseShaderProgram(graphics.diffuseTextureProgram);
    ReleaseShaderProgram(graphics.diffuseTextureCubemapProgram);
    ReleaseShaderProgram(graphics.skyboxProgram);
    ReleaseShaderProgram(graphics.texture2DProgram);
    ReleaseShaderProgram(graphics.mergeProgram);
    // The registry only points at programs owned elsewhere; the standard ones are gone now.
    for (UINT32 i = 0; i < graphics.programCount; ++i) graphics.programRegistry[i] = NULL;
    graphics.programCount = 0;
    ReleaseCompiledShaders();

    for (FontSlot& font : graphics.fonts) Release(font.view);
    Release(graphics.depthOn);
    Release(graphics.depthOff);
    Release(graphics.cullBack);
    Release(graphics.cullFront);
    Release(graphics.cullNone);
    Release(graphics.blendOpaque);
    Release(graphics.blendAdditive);
    Release(graphics.blendAlpha);
    Release(graphics.screenQuad);
    Release(graphics.cubeVertices);
    Release(graphics.spriteQuad);
    Release(graphics.cubeIndices);
    Release(graphics.cubeVerticesDynamic);
    Release(graphics.cubeIndicesCopy);
    Release(graphics.boxBatchVertices);
    Release(graphics.boxBatchIndices);
    Release(graphics.transformConstants);
    Release(lightConstants);
    Release(graphics.globalConstants);
    Release(graphics.fallbackTexture0);
    Release(graphics.fallbackTexture1);
    Release(graphics.samplerWrap);
    Release(graphics.samplerClamp);
    Release(graphics.samplerBorder);
    Release(graphics.layerB);
    Release(graphics.layerA);
    Release(graphics.depthShaderView);
    Release(graphics.depthTexture);
    Release(graphics.depthView);
    Release(graphics.backBufferView);
    // A swap chain must not be released while it owns the screen.
    if (graphics.swapChain) graphics.swapChain->SetFullscreenState(FALSE, NULL);
    Release(graphics.swapChain);
    Release(graphics.context);
    Release(graphics.device);
    return true;
}
