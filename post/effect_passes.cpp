#include "app/audio_analysis.h"
#include "app/main_loop.h"
#include "draw/sprites.h"
#include "gfx/shader_program.h"
#include "post/post_blocks.h"
#include "post/post_chain.h"

void GraphicsContext::DrawFullscreenQuad(ShaderProgram* program) {
    const UINT stride = sizeof(ScreenVertex);
    const UINT offset = 0;
    context->IASetVertexBuffers(0, 1, &screenQuad, &stride, &offset);
    context->IASetInputLayout(program->inputLayout);
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP);
    context->VSSetShader(program->vertexShader, NULL, 0);
    context->VSSetConstantBuffers(0, 1, &program->constants);
    context->PSSetShader(program->pixelShader, NULL, 0);
    context->PSSetConstantBuffers(0, 1, &program->constants);
    context->PSSetSamplers(0, 1, &samplerWrap);
    if (CanDraw(program)) context->Draw(4, 0);
}

void PostChain::ApplyVhs() {
    if (!active) return;
    // Each pass needs a fresh target; past the last one the image stays where it is.
    if (current + 1 >= kChainTargets) return;

    graphics.context->OMSetRenderTargets(1, &rtvs[current + 1], NULL);
    SetChainViewport();
    ID3D11ShaderResourceView* none[2] = {};
    graphics.context->PSSetShaderResources(0, 2, none);
    ID3D11SamplerState* samplers[8];
    for (int i = 0; i < 8; ++i) samplers[i] = graphics.samplerClamp;
    graphics.context->PSSetSamplers(0, 8, samplers);

    const GlobalBlock global = VhsGlobalBlock(spectrumBands);
    UpdateConstants(graphics.globalConstants, &global);
    graphics.context->PSSetConstantBuffers(2, 1, &graphics.globalConstants);
    const PostBlock block = VhsPostBlock(musicTimeMs, spectrumBands);

    graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
    ShaderProgram* program = programs[kEffectVhs];
    UpdateConstants(program->constants, &block);
    DrawSprite(program, srvs[current], 0.0f, 0.0f, 1280.0f, 720.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
    current = current + 1;
}

void DrawFade(UINT32 startMs, UINT32 endMs, const float from[4], const float to[4]) {
    float colour[4];
    if (!FadeColour(musicTimeMs, startMs, endMs, from, to, colour)) return;
    const float blendFactor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
    graphics.context->OMSetBlendState(graphics.blendAlpha, blendFactor, 0xFFFFFFFF);
    UpdateConstants(graphics.colorProgram->constants, colour);
    graphics.DrawFullscreenQuad(graphics.colorProgram);
    graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
    graphics.context->OMSetBlendState(graphics.blendOpaque, blendFactor, 0xFFFFFFFF);
}
