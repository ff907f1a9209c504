#include "post/post_chain.h"

#include <stdlib.h>

#include "gfx/shader_program.h"
#include "gfx/texture_desc.h"
#include "gfx/texture_loader.h"

PostChain postChain;

namespace {

struct EffectEntry {
    const char* pixelEntry;
    const char* sourcePath;
    UINT constantsSize;
};

// In effect-number order, which is also the order of creation.
const EffectEntry effects[kEffectCount] = {
    {"PS", "Shaders/PostProcess.hlsl", 32},
    {"GlitchPS", "Shaders/PostProcess.hlsl", 32},
    {"PixelatePS", "Shaders/PostProcess.hlsl", 32},
    {"ChromaticAberrationPS", "Shaders/PostProcess.hlsl", 32},
    {"BokehPS", "Shaders/PostProcess.hlsl", 32},
    {"RGBPS", "Shaders/PostProcess.hlsl", 32},
    {"DOFBlurPS", "Shaders/PostProcess.hlsl", 512},
    {"DOFPS", "Shaders/PostProcess.hlsl", 32},
    {"MPEGArtifactPS", "Shaders/PostProcess.hlsl", 32},
    {"LensDistortPS", "Shaders/PostProcess.hlsl", 32},
    {"KaleidoscopePS", "Shaders/PostProcess.hlsl", 32},
    {"HexablurPS", "Shaders/PostProcess.hlsl", 32},
    {"Dh_Dof_PS", "Shaders/PostProcess.hlsl", 32},
    {"VHSPS", "Shaders/PostProcess.hlsl", 32},
    {"DownScale4x4PS", "Shaders\\Bloom.hlsl", 512},
    {"BrightPassPS", "Shaders\\Bloom.hlsl", 32},
    {"GaussBlur5x5PS", "Shaders\\Bloom.hlsl", 512},
    {"GaussBlur15x1PS", "Shaders\\Bloom.hlsl", 512},
    {"FinalPassPS", "Shaders\\Bloom.hlsl", 32},
    {"StarPS", "Shaders\\Bloom.hlsl", 512},
};

// The order in which the reduced targets are made.
const int reducedOrder[kReducedTargets] = {0, 1, 2, 3, 4, 10, 5, 6, 7, 8, 9, 11};

const char* const grainPath = "Data/PellanGrain5.png";

template <typename T>
void ReleaseInterface(T*& object) {
    if (object) object->Release();
    object = NULL;
}

}  // namespace

HRESULT PostChain::Create() {
    for (int i = 0; i < kEffectCount; ++i)
        programs[i] = CreateShaderProgram(effects[i].sourcePath, effects[i].pixelEntry, "VS", screenLayout, 2,
                                          effects[i].constantsSize);

    baseWidth = ReducedBaseSize(graphics.width);
    baseHeight = ReducedBaseSize(graphics.height);
    for (int i = 0; i < kReducedTargets; ++i) {
        const int entry = reducedOrder[i];
        const INT32 divisor = ReducedTargetDivisor(entry);
        CreateRenderTarget((UINT)(baseWidth / divisor), (UINT)(baseHeight / divisor), reduced[entry]);
    }

    const D3D11_TEXTURE2D_DESC textureDesc =
        TextureDesc((UINT)graphics.width, (UINT)graphics.height, DXGI_FORMAT_R32G32B32A32_FLOAT,
                    D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE);
    HRESULT hr;
    for (int i = 0; i < kChainTargets; ++i)
        if (FAILED(hr = graphics.device->CreateTexture2D(&textureDesc, NULL, &textures[i]))) return hr;

    D3D11_RENDER_TARGET_VIEW_DESC rtvDesc = {};
    rtvDesc.Format = textureDesc.Format;
    rtvDesc.ViewDimension = D3D11_RTV_DIMENSION_TEXTURE2D;
    rtvDesc.Texture2D.MipSlice = 0;
    for (int i = 0; i < kChainTargets; ++i)
        if (FAILED(hr = graphics.device->CreateRenderTargetView(textures[i], &rtvDesc, &rtvs[i]))) return hr;

    D3D11_SHADER_RESOURCE_VIEW_DESC srvDesc = {};
    srvDesc.Format = textureDesc.Format;
    srvDesc.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2D;
    srvDesc.Texture2D.MostDetailedMip = 0;
    srvDesc.Texture2D.MipLevels = 1;
    for (int i = 0; i < kChainTargets; ++i)
        if (FAILED(hr = graphics.device->CreateShaderResourceView(textures[i], &srvDesc, &srvs[i]))) return hr;

    // Nothing in the system samples the grain, so a missing or unreadable file only leaves
    // grainView empty.
    LoadTextureFile(grainPath, &grainView);
    return S_OK;
}

void PostChain::Release() {
    for (int i = 0; i < kChainTargets; ++i) {
        ReleaseInterface(textures[i]);
        ReleaseInterface(rtvs[i]);
        ReleaseInterface(srvs[i]);
    }
    for (int i = 0; i < kEffectCount; ++i) ReleaseShaderProgram(programs[i]);
    for (int i = 0; i < kReducedTargets; ++i) {
        ReleaseInterface(reduced[i].srv);
        ReleaseInterface(reduced[i].rtv);
        ReleaseInterface(reduced[i].texture);
    }
    ReleaseInterface(grainView);
    active = false;
}
