#include "rasterizer_state.h"

#include <new>

#include "device.h"
#include "log.h"
#include "state_cache.h"

namespace quarvel::d3d11 {

D3D11_RASTERIZER_DESC RasterizerState::Default() {
    D3D11_RASTERIZER_DESC d{};
    d.FillMode = D3D11_FILL_SOLID;
    d.CullMode = D3D11_CULL_BACK;
    d.DepthClipEnable = TRUE;
    return d;
}

HRESULT RasterizerState::Create(Device* device, const D3D11_RASTERIZER_DESC* desc, ID3D11RasterizerState** out) {
    const char* f = "CreateRasterizerState";
    if (out) *out = nullptr;
    if (!desc) return LogInvalid(f, "pRasterizerDesc is null"), E_INVALIDARG;
    if (desc->FillMode != D3D11_FILL_SOLID && desc->FillMode != D3D11_FILL_WIREFRAME)
        return LogInvalid(f, "FillMode %d is not a D3D11_FILL_MODE", desc->FillMode), E_INVALIDARG;
    if (desc->CullMode < D3D11_CULL_NONE || desc->CullMode > D3D11_CULL_BACK)
        return LogInvalid(f, "CullMode %d is not a D3D11_CULL_MODE", desc->CullMode), E_INVALIDARG;
    if (desc->MultisampleEnable || desc->AntialiasedLineEnable)
        LogUnsupported(f, "MultisampleEnable and AntialiasedLineEnable (targets are single-sampled; lines are "
                          "drawn aliased)");

    D3D11_RASTERIZER_DESC normalized = *desc;
    normalized.FrontCounterClockwise = desc->FrontCounterClockwise ? TRUE : FALSE;
    normalized.DepthClipEnable = desc->DepthClipEnable ? TRUE : FALSE;
    normalized.ScissorEnable = desc->ScissorEnable ? TRUE : FALSE;
    normalized.MultisampleEnable = desc->MultisampleEnable ? TRUE : FALSE;
    normalized.AntialiasedLineEnable = desc->AntialiasedLineEnable ? TRUE : FALSE;
    const std::string key = StateKey(normalized);
    if (!out) return S_FALSE;
    auto& cache = device->States().rasterizer;
    const HRESULT hr = FindState(cache, key, f, out);
    if (FAILED(hr) || *out) return hr;
    auto* state = new (std::nothrow) RasterizerState(device);
    if (!state) return E_OUTOFMEMORY;
    state->desc_ = normalized;
    state->key_ = key;
    cache[key] = state;
    *out = state;
    return S_OK;
}

RasterizerState::~RasterizerState() { Owner()->States().rasterizer.erase(key_); }

}  // namespace quarvel::d3d11
