#include "depth_stencil_state.h"

#include <cstring>
#include <new>

#include "device.h"
#include "log.h"
#include "state_cache.h"

namespace quarvel::d3d11 {
namespace {

bool ValidFunc(D3D11_COMPARISON_FUNC f) { return f >= D3D11_COMPARISON_NEVER && f <= D3D11_COMPARISON_ALWAYS; }
bool ValidOp(D3D11_STENCIL_OP op) { return op >= D3D11_STENCIL_OP_KEEP && op <= D3D11_STENCIL_OP_DECR; }

bool ValidFace(const D3D11_DEPTH_STENCILOP_DESC& face, const char* name) {
    if (!ValidOp(face.StencilFailOp) || !ValidOp(face.StencilDepthFailOp) || !ValidOp(face.StencilPassOp))
        return LogInvalid("CreateDepthStencilState", "%s has a stencil op that is not a D3D11_STENCIL_OP", name), false;
    if (!ValidFunc(face.StencilFunc))
        return LogInvalid("CreateDepthStencilState", "%s.StencilFunc is not a D3D11_COMPARISON_FUNC", name), false;
    return true;
}

}  // namespace

D3D11_DEPTH_STENCIL_DESC DepthStencilState::Default() {
    D3D11_DEPTH_STENCIL_DESC d;
    std::memset(&d, 0, sizeof d);
    d.DepthEnable = TRUE;
    d.DepthWriteMask = D3D11_DEPTH_WRITE_MASK_ALL;
    d.DepthFunc = D3D11_COMPARISON_LESS;
    d.StencilEnable = FALSE;
    d.StencilReadMask = D3D11_DEFAULT_STENCIL_READ_MASK;
    d.StencilWriteMask = D3D11_DEFAULT_STENCIL_WRITE_MASK;
    d.FrontFace = {D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP, D3D11_COMPARISON_ALWAYS};
    d.BackFace = d.FrontFace;
    return d;
}

HRESULT DepthStencilState::Create(Device* device, const D3D11_DEPTH_STENCIL_DESC* desc,
                                  ID3D11DepthStencilState** out) {
    const char* f = "CreateDepthStencilState";
    if (out) *out = nullptr;
    if (!desc) return LogInvalid(f, "pDepthStencilDesc is null"), E_INVALIDARG;
    if (desc->DepthWriteMask != D3D11_DEPTH_WRITE_MASK_ZERO && desc->DepthWriteMask != D3D11_DEPTH_WRITE_MASK_ALL)
        return LogInvalid(f, "DepthWriteMask %d is neither ZERO nor ALL", desc->DepthWriteMask), E_INVALIDARG;
    if (desc->DepthEnable && !ValidFunc(desc->DepthFunc))
        return LogInvalid(f, "DepthFunc %d is not a D3D11_COMPARISON_FUNC", desc->DepthFunc), E_INVALIDARG;
    if (desc->StencilEnable && (!ValidFace(desc->FrontFace, "FrontFace") || !ValidFace(desc->BackFace, "BackFace")))
        return E_INVALIDARG;

    // What the disabled parts say does not matter, so they do not make a new object.
    D3D11_DEPTH_STENCIL_DESC normalized = Default();
    normalized.DepthEnable = desc->DepthEnable ? TRUE : FALSE;
    normalized.StencilEnable = desc->StencilEnable ? TRUE : FALSE;
    if (desc->DepthEnable) {
        normalized.DepthWriteMask = desc->DepthWriteMask;
        normalized.DepthFunc = desc->DepthFunc;
    } else {
        normalized.DepthWriteMask = D3D11_DEPTH_WRITE_MASK_ZERO;
        normalized.DepthFunc = D3D11_COMPARISON_ALWAYS;
    }
    if (desc->StencilEnable) {
        normalized.StencilReadMask = desc->StencilReadMask;
        normalized.StencilWriteMask = desc->StencilWriteMask;
        normalized.FrontFace = desc->FrontFace;
        normalized.BackFace = desc->BackFace;
    }
    const std::string key = StateKey(normalized);
    if (!out) return S_FALSE;
    auto& cache = device->States().depthStencil;
    const HRESULT hr = FindState(cache, key, f, out);
    if (FAILED(hr) || *out) return hr;
    auto* state = new (std::nothrow) DepthStencilState(device);
    if (!state) return E_OUTOFMEMORY;
    state->desc_ = normalized;
    state->key_ = key;
    cache[key] = state;
    *out = state;
    return S_OK;
}

DepthStencilState::~DepthStencilState() { Owner()->States().depthStencil.erase(key_); }

}  // namespace quarvel::d3d11
