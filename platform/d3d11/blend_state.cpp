#include "blend_state.h"

#include <cstring>
#include <new>

#include "device.h"
#include "log.h"
#include "state_cache.h"

namespace quarvel::d3d11 {
namespace {

bool ValidBlend(D3D11_BLEND b) { return b >= D3D11_BLEND_ZERO && b <= D3D11_BLEND_INV_SRC1_ALPHA && b != 12 && b != 13; }

bool IsColorBlend(D3D11_BLEND b) {
    return b == D3D11_BLEND_SRC_COLOR || b == D3D11_BLEND_INV_SRC_COLOR || b == D3D11_BLEND_DEST_COLOR ||
           b == D3D11_BLEND_INV_DEST_COLOR || b == D3D11_BLEND_SRC1_COLOR || b == D3D11_BLEND_INV_SRC1_COLOR;
}

bool ValidOp(D3D11_BLEND_OP op) { return op >= D3D11_BLEND_OP_ADD && op <= D3D11_BLEND_OP_MAX; }

bool ValidTarget(const D3D11_RENDER_TARGET_BLEND_DESC& t, int index) {
    const char* f = "CreateBlendState";
    if (t.RenderTargetWriteMask > 0xF)
        return LogInvalid(f, "RenderTarget[%d].RenderTargetWriteMask 0x%x has bits above 0xF", index,
                          t.RenderTargetWriteMask),
               false;
    if (!t.BlendEnable) return true;
    if (!ValidBlend(t.SrcBlend) || !ValidBlend(t.DestBlend) || !ValidBlend(t.SrcBlendAlpha) ||
        !ValidBlend(t.DestBlendAlpha))
        return LogInvalid(f, "RenderTarget[%d] has a blend factor that is not a D3D11_BLEND", index), false;
    if (IsColorBlend(t.SrcBlendAlpha) || IsColorBlend(t.DestBlendAlpha))
        return LogInvalid(f, "RenderTarget[%d]: the alpha factors cannot be *_COLOR factors", index), false;
    if (!ValidOp(t.BlendOp) || !ValidOp(t.BlendOpAlpha))
        return LogInvalid(f, "RenderTarget[%d] has a blend op that is not a D3D11_BLEND_OP", index), false;
    return true;
}

}  // namespace

D3D11_BLEND_DESC BlendState::Default() {
    D3D11_BLEND_DESC d{};
    for (D3D11_RENDER_TARGET_BLEND_DESC& t : d.RenderTarget)
        t = {FALSE, D3D11_BLEND_ONE, D3D11_BLEND_ZERO, D3D11_BLEND_OP_ADD, D3D11_BLEND_ONE, D3D11_BLEND_ZERO,
             D3D11_BLEND_OP_ADD, D3D11_COLOR_WRITE_ENABLE_ALL};
    return d;
}

HRESULT BlendState::Create(Device* device, const D3D11_BLEND_DESC* desc, ID3D11BlendState** out) {
    const char* f = "CreateBlendState";
    if (out) *out = nullptr;
    if (!desc) return LogInvalid(f, "pBlendStateDesc is null"), E_INVALIDARG;
    const int targets = desc->IndependentBlendEnable ? 8 : 1;
    for (int i = 0; i < targets; ++i)
        if (!ValidTarget(desc->RenderTarget[i], i)) return E_INVALIDARG;
    if (desc->AlphaToCoverageEnable) LogUnsupported(f, "AlphaToCoverageEnable (targets are single-sampled)");

    D3D11_BLEND_DESC normalized;
    std::memset(&normalized, 0, sizeof normalized);
    normalized.AlphaToCoverageEnable = desc->AlphaToCoverageEnable ? TRUE : FALSE;
    normalized.IndependentBlendEnable = desc->IndependentBlendEnable ? TRUE : FALSE;
    const D3D11_BLEND_DESC defaults = Default();
    for (int i = 0; i < 8; ++i) {
        const D3D11_RENDER_TARGET_BLEND_DESC& t = desc->RenderTarget[desc->IndependentBlendEnable ? i : 0];
        D3D11_RENDER_TARGET_BLEND_DESC& n = normalized.RenderTarget[i];
        n = t.BlendEnable ? t : defaults.RenderTarget[i];
        n.BlendEnable = t.BlendEnable ? TRUE : FALSE;
        n.RenderTargetWriteMask = t.RenderTargetWriteMask;
    }
    const std::string key = StateKey(normalized);
    if (!out) return S_FALSE;
    auto& cache = device->States().blend;
    const HRESULT hr = FindState(cache, key, f, out);
    if (FAILED(hr) || *out) return hr;
    auto* state = new (std::nothrow) BlendState(device);
    if (!state) return E_OUTOFMEMORY;
    state->desc_ = normalized;
    state->key_ = key;
    cache[key] = state;
    *out = state;
    return S_OK;
}

BlendState::~BlendState() { Owner()->States().blend.erase(key_); }

}  // namespace quarvel::d3d11
