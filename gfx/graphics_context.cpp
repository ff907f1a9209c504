#include "gfx/graphics_context.h"

#include <float.h>
#include <stdlib.h>

#include "app/main_window.h"
#include "gfx/cube_data.h"
#include "gfx/shader_program.h"
#include "gfx/texture_desc.h"
#include "gfx/viewport.h"

GraphicsContext graphics;
ID3D11Buffer* lightConstants;

const D3D11_INPUT_ELEMENT_DESC screenLayout[2] = {
    {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
    {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
};

const D3D11_INPUT_ELEMENT_DESC meshLayout[3] = {
    {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
    {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
    {"NORMAL", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 20, D3D11_INPUT_PER_VERTEX_DATA, 0},
};

namespace {

// Triangle-strip order; v is 1 at the top edge.
const ScreenVertex fullScreenQuad[4] = {
    {-1.0f, 1.0f, 0.0f, 0.0f, 1.0f},
    {1.0f, 1.0f, 0.0f, 1.0f, 1.0f},
    {-1.0f, -1.0f, 0.0f, 0.0f, 0.0f},
    {1.0f, -1.0f, 0.0f, 1.0f, 0.0f},
};

HRESULT CreateBuffer(UINT size, D3D11_USAGE usage, UINT bind, const void* contents, ID3D11Buffer** buffer) {
    D3D11_BUFFER_DESC desc = {};
    desc.ByteWidth = size;
    desc.Usage = usage;
    desc.BindFlags = bind;
    desc.CPUAccessFlags = usage == D3D11_USAGE_DYNAMIC ? D3D11_CPU_ACCESS_WRITE : 0;
    D3D11_SUBRESOURCE_DATA data = {};
    data.pSysMem = contents;
    return graphics.device->CreateBuffer(&desc, contents ? &data : NULL, buffer);
}

// Stops at the first failure; the rest stay null.
void CreateCubeBuffers() {
    if (FAILED(CreateBuffer(sizeof(cubeVertexData), D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, cubeVertexData,
                            &graphics.cubeVertices)))
        return;
    if (FAILED(CreateBuffer(sizeof(cubeVertexData), D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER, cubeVertexData,
                            &graphics.cubeVerticesDynamic)))
        return;
    if (FAILED(CreateBuffer(sizeof(cubeIndexData), D3D11_USAGE_DEFAULT, D3D11_BIND_INDEX_BUFFER, cubeIndexData,
                            &graphics.cubeIndices)))
        return;
    if (FAILED(CreateBuffer(sizeof(cubeIndexData), D3D11_USAGE_DEFAULT, D3D11_BIND_INDEX_BUFFER, cubeIndexData,
                            &graphics.cubeIndicesCopy)))
        return;
    if (FAILED(CreateBuffer(288, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, NULL, &graphics.transformConstants)))
        return;
    if (FAILED(CreateBuffer(96, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, NULL, &lightConstants))) return;
    CreateBuffer(528, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, NULL, &graphics.globalConstants);
}

void CreateBoxBatchBuffers() {
    if (FAILED(CreateBuffer(kBoxBatchBoxes * 24 * sizeof(MeshVertex), D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER,
                            NULL, &graphics.boxBatchVertices)))
        return;
    WORD* indices = (WORD*)malloc(kBoxBatchBoxes * 36 * sizeof(WORD));
    if (!indices) return;
    FillBoxBatchIndices(indices);
    CreateBuffer(kBoxBatchBoxes * 36 * sizeof(WORD), D3D11_USAGE_DEFAULT, D3D11_BIND_INDEX_BUFFER, indices,
                 &graphics.boxBatchIndices);
    free(indices);
}

void CreateRasterizerStates() {
    D3D11_RASTERIZER_DESC desc = {};
    desc.FillMode = D3D11_FILL_SOLID;
    desc.FrontCounterClockwise = FALSE;
    desc.DepthClipEnable = FALSE;
    desc.CullMode = D3D11_CULL_BACK;
    graphics.device->CreateRasterizerState(&desc, &graphics.cullBack);
    desc.CullMode = D3D11_CULL_FRONT;
    graphics.device->CreateRasterizerState(&desc, &graphics.cullFront);
    desc.CullMode = D3D11_CULL_NONE;
    graphics.device->CreateRasterizerState(&desc, &graphics.cullNone);
}

// The stencil is counted in both states although nothing reads it.
void CreateDepthStates() {
    D3D11_DEPTH_STENCIL_DESC desc = {};
    desc.DepthEnable = TRUE;
    desc.DepthWriteMask = D3D11_DEPTH_WRITE_MASK_ALL;
    desc.DepthFunc = D3D11_COMPARISON_LESS;
    desc.StencilEnable = TRUE;
    desc.StencilReadMask = 0xFF;
    desc.StencilWriteMask = 0xFF;
    desc.FrontFace.StencilFailOp = D3D11_STENCIL_OP_KEEP;
    desc.FrontFace.StencilDepthFailOp = D3D11_STENCIL_OP_INCR;
    desc.FrontFace.StencilPassOp = D3D11_STENCIL_OP_KEEP;
    desc.FrontFace.StencilFunc = D3D11_COMPARISON_ALWAYS;
    desc.BackFace.StencilFailOp = D3D11_STENCIL_OP_KEEP;
    desc.BackFace.StencilDepthFailOp = D3D11_STENCIL_OP_DECR;
    desc.BackFace.StencilPassOp = D3D11_STENCIL_OP_KEEP;
    desc.BackFace.StencilFunc = D3D11_COMPARISON_ALWAYS;
    graphics.device->CreateDepthStencilState(&desc, &graphics.depthOn);
    desc.DepthEnable = FALSE;
    graphics.device->CreateDepthStencilState(&desc, &graphics.depthOff);
}

void CreateBlendStates() {
    D3D11_BLEND_DESC desc = {};
    D3D11_RENDER_TARGET_BLEND_DESC& target = desc.RenderTarget[0];
    target.BlendEnable = FALSE;
    target.SrcBlend = D3D11_BLEND_ONE;
    target.DestBlend = D3D11_BLEND_ZERO;
    target.BlendOp = D3D11_BLEND_OP_ADD;
    target.SrcBlendAlpha = D3D11_BLEND_ONE;
    target.DestBlendAlpha = D3D11_BLEND_ZERO;
    target.BlendOpAlpha = D3D11_BLEND_OP_ADD;
    target.RenderTargetWriteMask = D3D11_COLOR_WRITE_ENABLE_ALL;
    graphics.device->CreateBlendState(&desc, &graphics.blendOpaque);

    target.BlendEnable = TRUE;
    target.SrcBlend = D3D11_BLEND_SRC_ALPHA;
    target.DestBlend = D3D11_BLEND_INV_SRC_ALPHA;
    target.SrcBlendAlpha = D3D11_BLEND_ONE;
    target.DestBlendAlpha = D3D11_BLEND_ZERO;
    graphics.device->CreateBlendState(&desc, &graphics.blendAlpha);

    target.SrcBlend = D3D11_BLEND_ONE;
    target.DestBlend = D3D11_BLEND_ONE;
    target.SrcBlendAlpha = D3D11_BLEND_ZERO;
    target.DestBlendAlpha = D3D11_BLEND_ZERO;
    graphics.device->CreateBlendState(&desc, &graphics.blendAdditive);
}

void CreatePrograms() {
    graphics.textProgram = CreateShaderProgram("Shaders/Shaders2D.fx", "TTFPS", "VS", screenLayout, 2, 16);
    graphics.colorProgram = CreateShaderProgram("Shaders/Shaders2D.fx", "ColorPS", "VS", screenLayout, 2, 16);
    graphics.texture2DProgram = CreateShaderProgram("Shaders/Shaders2D.fx", "Texture2DPS", "VS", screenLayout, 2, 16);
    graphics.mergeProgram = CreateShaderProgram("Shaders/Shaders2D.fx", "MergePS", "VS", screenLayout, 2, 16);
    graphics.diffuseProgram = CreateShaderProgram("Shaders/Shaders3D.fx", "DiffusePS", "VS", meshLayout, 3, 16);
    graphics.hemisphereProgram =
        CreateShaderProgram("Shaders/Shaders3D.fx", "HemispherePS", "VS", meshLayout, 3, 16);
    graphics.textureProgram = CreateShaderProgram("Shaders/Shaders3D.fx", "TexturePS", "VS", meshLayout, 3, 16);
    graphics.diffuseTextureProgram =
        CreateShaderProgram("Shaders/Shaders3D.fx", "DiffuseTexturePS", "VS", meshLayout, 3, 16);
    graphics.diffuseTextureCubemapProgram =
        CreateShaderProgram("Shaders/Shaders3D.fx", "DiffuseTextureCubemapPS", "VS", meshLayout, 3, 16);
    graphics.skyboxProgram = CreateShaderProgram("Shaders/Shaders3D.fx", "SkyboxPS", "SkyboxVS", meshLayout, 3, 16);
}

HRESULT CreateSampler(D3D11_TEXTURE_ADDRESS_MODE address, ID3D11SamplerState** sampler) {
    D3D11_SAMPLER_DESC desc = {};
    desc.Filter = D3D11_FILTER_MIN_MAG_MIP_LINEAR;
    desc.AddressU = address;
    desc.AddressV = address;
    desc.AddressW = address;
    desc.MipLODBias = 0.0f;
    desc.MaxAnisotropy = 0;
    desc.ComparisonFunc = D3D11_COMPARISON_NEVER;
    desc.MinLOD = 0.0f;
    desc.MaxLOD = FLT_MAX;
    return graphics.device->CreateSamplerState(&desc, sampler);
}

// The device and swap chain for the client area, with views of the back buffer and of a
// depth buffer of the same size. False at the first step that fails.
bool CreateDeviceAndDepth(bool windowed) {
    DXGI_SWAP_CHAIN_DESC chain = {};
    chain.BufferDesc.Width = graphics.width;
    chain.BufferDesc.Height = graphics.height;
    chain.BufferDesc.RefreshRate.Numerator = 60;
    chain.BufferDesc.RefreshRate.Denominator = 1;
    chain.BufferDesc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    chain.BufferDesc.ScanlineOrdering = DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED;
    chain.BufferDesc.Scaling = DXGI_MODE_SCALING_UNSPECIFIED;
    chain.SampleDesc.Count = 1;
    chain.SampleDesc.Quality = 0;
    chain.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    chain.BufferCount = 2;
    chain.OutputWindow = mainWindow;
    chain.Windowed = windowed;
    chain.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
    chain.Flags = 0;

    const D3D_DRIVER_TYPE driverTypes[3] = {D3D_DRIVER_TYPE_HARDWARE, D3D_DRIVER_TYPE_WARP, D3D_DRIVER_TYPE_REFERENCE};
    const D3D_FEATURE_LEVEL featureLevels[3] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1,
                                                D3D_FEATURE_LEVEL_10_0};
    HRESULT hr = E_FAIL;
    for (int i = 0; i < 3; ++i) {
        graphics.driverType = driverTypes[i];
        hr = D3D11CreateDeviceAndSwapChain(NULL, graphics.driverType, NULL, 0, featureLevels, 3, D3D11_SDK_VERSION,
                                           &chain, &graphics.swapChain, &graphics.device, &graphics.featureLevel,
                                           &graphics.context);
        if (SUCCEEDED(hr)) break;
    }
    if (FAILED(hr)) return false;

    ID3D11Texture2D* backBuffer = NULL;
    if (FAILED(graphics.swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), (void**)&backBuffer))) return false;
    hr = graphics.device->CreateRenderTargetView(backBuffer, NULL, &graphics.backBufferView);
    backBuffer->Release();
    if (FAILED(hr)) return false;

    const D3D11_TEXTURE2D_DESC depthDesc = TextureDesc(graphics.width, graphics.height, DXGI_FORMAT_R24G8_TYPELESS,
                                                       D3D11_BIND_DEPTH_STENCIL | D3D11_BIND_SHADER_RESOURCE);
    if (FAILED(graphics.device->CreateTexture2D(&depthDesc, NULL, &graphics.depthTexture))) return false;

    D3D11_DEPTH_STENCIL_VIEW_DESC dsvDesc = {};
    dsvDesc.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
    dsvDesc.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE2D;
    dsvDesc.Flags = 0;
    dsvDesc.Texture2D.MipSlice = 0;
    if (FAILED(graphics.device->CreateDepthStencilView(graphics.depthTexture, &dsvDesc, &graphics.depthView)))
        return false;

    D3D11_SHADER_RESOURCE_VIEW_DESC depthSrvDesc = {};
    depthSrvDesc.Format = DXGI_FORMAT_R24_UNORM_X8_TYPELESS;
    depthSrvDesc.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2D;
    depthSrvDesc.Texture2D.MostDetailedMip = 0;
    depthSrvDesc.Texture2D.MipLevels = 1;
    graphics.device->CreateShaderResourceView(graphics.depthTexture, &depthSrvDesc, &graphics.depthShaderView);
    return true;
}

}  // namespace

void UpdateConstants(ID3D11Buffer* buffer, const void* data) {
    if (buffer) graphics.context->UpdateSubresource(buffer, 0, NULL, data, 0, 0);
}

void CreateRenderTarget(UINT width, UINT height, RenderTarget& target) {
    const D3D11_TEXTURE2D_DESC desc =
        TextureDesc(width, height, DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE);
    if (FAILED(graphics.device->CreateTexture2D(&desc, NULL, &target.texture))) return;

    D3D11_RENDER_TARGET_VIEW_DESC rtvDesc = {};
    rtvDesc.Format = desc.Format;
    rtvDesc.ViewDimension = D3D11_RTV_DIMENSION_TEXTURE2D;
    rtvDesc.Texture2D.MipSlice = 0;
    if (FAILED(graphics.device->CreateRenderTargetView(target.texture, &rtvDesc, &target.rtv))) return;

    D3D11_SHADER_RESOURCE_VIEW_DESC srvDesc = {};
    srvDesc.Format = desc.Format;
    srvDesc.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2D;
    srvDesc.Texture2D.MostDetailedMip = 0;
    srvDesc.Texture2D.MipLevels = 1;
    graphics.device->CreateShaderResourceView(target.texture, &srvDesc, &target.srv);
}

bool InitGraphics(bool windowed) {
    RECT client;
    GetClientRect(mainWindow, &client);
    graphics.width = client.right - client.left;
    graphics.height = client.bottom - client.top;
    if (!CreateDeviceAndDepth(windowed)) return false;

    graphics.context->OMSetRenderTargets(1, &graphics.backBufferView, graphics.depthView);
    graphics.viewport = LetterboxViewport(graphics.width, graphics.height);
    graphics.context->RSSetViewports(1, &graphics.viewport);

    CreateBuffer(sizeof(fullScreenQuad), D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, fullScreenQuad,
                 &graphics.screenQuad);
    CreateCubeBuffers();
    CreateBoxBatchBuffers();
    if (FAILED(CreateBuffer(sizeof(fullScreenQuad), D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER, fullScreenQuad,
                            &graphics.spriteQuad)))
        return false;

    CreateRasterizerStates();
    CreateDepthStates();
    CreateBlendStates();
    CreatePrograms();
    CreateRenderTarget(graphics.width, graphics.height, graphics.layerA);
    CreateRenderTarget(graphics.width, graphics.height, graphics.layerB);

    if (FAILED(CreateSampler(D3D11_TEXTURE_ADDRESS_WRAP, &graphics.samplerWrap))) return false;
    if (FAILED(CreateSampler(D3D11_TEXTURE_ADDRESS_CLAMP, &graphics.samplerClamp))) return false;
    if (FAILED(CreateSampler(D3D11_TEXTURE_ADDRESS_BORDER, &graphics.samplerBorder))) return false;
    return true;
}
