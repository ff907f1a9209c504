#include "draw/sprites.h"
#include "post/post_chain.h"

void SetChainViewport() {
    D3D11_VIEWPORT viewport = {};
    viewport.Width = (float)graphics.width;
    viewport.Height = (float)graphics.height;
    viewport.MinDepth = 0.0f;
    viewport.MaxDepth = 1.0f;
    graphics.context->RSSetViewports(1, &viewport);
}

void PostChain::Begin() {
    ID3D11ShaderResourceView* none[8] = {};
    graphics.context->PSSetShaderResources(0, 8, none);
    graphics.context->OMSetRenderTargets(1, &rtvs[0], graphics.depthView);
    SetChainViewport();
    const float clear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    // A chain whose targets could not all be made has nothing to clear.
    if (rtvs[0]) graphics.context->ClearRenderTargetView(rtvs[0], clear);
    current = 0;
    active = true;
}

void PostChain::ResolveTo(const RenderTarget& target) {
    graphics.context->OMSetRenderTargets(1, &target.rtv, graphics.depthView);
    SetChainViewport();
    DrawSprite(programs[kEffectPassThrough], srvs[current], 0.0f, 0.0f, 1280.0f, 720.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    Begin();
}

void PostChain::End() {
    active = false;
    graphics.context->OMSetRenderTargets(1, &graphics.backBufferView, graphics.depthView);
    graphics.context->RSSetViewports(1, &graphics.viewport);
    DrawSprite(programs[kEffectPassThrough], srvs[current], 0.0f, 0.0f, 1280.0f, 720.0f, 0.0f, 0.0f, 1.0f, 1.0f);
}
