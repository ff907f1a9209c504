#include "graphics_fixture.h"

#include <stdio.h>
#include <string.h>

#include "app/main_window.h"
#include "post/post_chain.h"
#include "readback.h"
#include "test_window.h"

namespace quarvel::test {

namespace {

bool chainMade = false;

template <typename T>
void ReleaseInterface(T*& object) {
    if (object) object->Release();
    object = NULL;
}

D3D11_TEXTURE2D_DESC TextureDesc(int width, int height, DXGI_FORMAT format, UINT bind) {
    D3D11_TEXTURE2D_DESC desc = {};
    desc.Width = (UINT)width;
    desc.Height = (UINT)height;
    desc.MipLevels = desc.ArraySize = 1;
    desc.Format = format;
    desc.SampleDesc.Count = 1;
    desc.BindFlags = bind;
    return desc;
}

}  // namespace

bool OpenGraphics(int width, int height, bool withChain) {
    mainWindow = OpenTestWindow(width, height);
    if (!mainWindow || !InitGraphics(true)) {
        fprintf(stderr, "no window or no graphics for %d x %d\n", width, height);
        return false;
    }
    chainMade = withChain;
    if (withChain && FAILED(postChain.Create())) {
        fprintf(stderr, "PostChain::Create failed\n");
        return false;
    }
    return true;
}

void CloseGraphics() {
    if (chainMade) postChain.Release();
    chainMade = false;
    ReleaseGraphics();
    memset(&graphics, 0, sizeof(graphics));
    memset(&postChain, 0, sizeof(postChain));
    if (mainWindow) DestroyWindow(mainWindow);
    mainWindow = NULL;
}

bool UnderWine() {
#ifdef _WIN32
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) return true;
#endif
    return false;
}

Pixels ReadTexture(ID3D11Texture2D* texture) {
    Pixels pixels;
    D3D11_TEXTURE2D_DESC desc;
    texture->GetDesc(&desc);
    const std::vector<uint8_t> bytes = ReadTextureBytes(texture);
    if (bytes.empty()) return pixels;
    pixels.width = (int)desc.Width;
    pixels.height = (int)desc.Height;
    pixels.rgba.resize((size_t)desc.Width * desc.Height * 4);
    if (desc.Format == DXGI_FORMAT_R32G32B32A32_FLOAT)
        memcpy(pixels.rgba.data(), bytes.data(), bytes.size());
    else
        for (size_t i = 0; i < pixels.rgba.size(); ++i) pixels.rgba[i] = bytes[i] / 255.0f;
    return pixels;
}

Pixels ReadTarget(ID3D11RenderTargetView* view) {
    ID3D11Resource* resource = NULL;
    view->GetResource(&resource);
    Pixels pixels = ReadTexture((ID3D11Texture2D*)resource);
    resource->Release();
    return pixels;
}

ID3D11ShaderResourceView* MakeTexture(int width, int height, const std::vector<float>& rgba) {
    const D3D11_TEXTURE2D_DESC desc =
        TextureDesc(width, height, DXGI_FORMAT_R32G32B32A32_FLOAT, D3D11_BIND_SHADER_RESOURCE);
    const D3D11_SUBRESOURCE_DATA initial = {rgba.data(), (UINT)width * 16, 0};
    ID3D11Texture2D* texture = NULL;
    ID3D11ShaderResourceView* view = NULL;
    if (FAILED(graphics.device->CreateTexture2D(&desc, &initial, &texture))) return NULL;
    graphics.device->CreateShaderResourceView(texture, NULL, &view);
    texture->Release();
    return view;
}

RenderTarget MakeTarget(int width, int height, DXGI_FORMAT format) {
    RenderTarget target = {};
    const D3D11_TEXTURE2D_DESC desc =
        TextureDesc(width, height, format, D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE);
    if (FAILED(graphics.device->CreateTexture2D(&desc, NULL, &target.texture))) return target;
    graphics.device->CreateRenderTargetView(target.texture, NULL, &target.rtv);
    graphics.device->CreateShaderResourceView(target.texture, NULL, &target.srv);
    return target;
}

void ReleaseTarget(RenderTarget& target) {
    ReleaseInterface(target.srv);
    ReleaseInterface(target.rtv);
    ReleaseInterface(target.texture);
}

void BindAndClear(const RenderTarget& target, const float colour[4]) {
    D3D11_TEXTURE2D_DESC desc;
    target.texture->GetDesc(&desc);
    const D3D11_VIEWPORT viewport = {0, 0, (float)desc.Width, (float)desc.Height, 0, 1};
    graphics.context->OMSetRenderTargets(1, &target.rtv, graphics.depthView);
    graphics.context->RSSetViewports(1, &viewport);
    graphics.context->ClearRenderTargetView(target.rtv, colour);
    graphics.context->ClearDepthStencilView(graphics.depthView, D3D11_CLEAR_DEPTH, 1.0f, 0);
}

// Only the pointers are compared, so the references the getters add are dropped at once.
ID3D11DepthStencilState* BoundDepthState() {
    ID3D11DepthStencilState* state = NULL;
    UINT reference;
    graphics.context->OMGetDepthStencilState(&state, &reference);
    if (state) state->Release();
    return state;
}

ID3D11BlendState* BoundBlendState() {
    ID3D11BlendState* state = NULL;
    FLOAT factor[4];
    UINT mask;
    graphics.context->OMGetBlendState(&state, factor, &mask);
    if (state) state->Release();
    return state;
}

ID3D11RasterizerState* BoundRasterizerState() {
    ID3D11RasterizerState* state = NULL;
    graphics.context->RSGetState(&state);
    if (state) state->Release();
    return state;
}

}  // namespace quarvel::test
