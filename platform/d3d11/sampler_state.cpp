#include "sampler_state.h"

#include <algorithm>
#include <new>

#include "comparison.h"
#include "device.h"
#include "log.h"
#include "state_cache.h"

namespace quarvel::d3d11 {
namespace {

bool ValidFilter(D3D11_FILTER filter) {
    const uint32_t f = filter;
    if (f == D3D11_FILTER_ANISOTROPIC || f == D3D11_FILTER_COMPARISON_ANISOTROPIC) return true;
    const uint32_t base = f & ~0x80u;
    return (f & ~0x95u) == 0 && (base & ~0x15u) == 0;
}

bool ValidAddress(D3D11_TEXTURE_ADDRESS_MODE m) {
    return m >= D3D11_TEXTURE_ADDRESS_WRAP && m <= D3D11_TEXTURE_ADDRESS_MIRROR_ONCE;
}

GLenum Address(D3D11_TEXTURE_ADDRESS_MODE m) {
    switch (m) {
        case D3D11_TEXTURE_ADDRESS_WRAP: return GL_REPEAT;
        case D3D11_TEXTURE_ADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
        case D3D11_TEXTURE_ADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
        case D3D11_TEXTURE_ADDRESS_MIRROR_ONCE: return GL_MIRROR_CLAMP_TO_EDGE;
        default: return GL_CLAMP_TO_EDGE;
    }
}

}  // namespace

D3D11_SAMPLER_DESC SamplerState::Default() {
    D3D11_SAMPLER_DESC d{};
    d.Filter = D3D11_FILTER_MIN_MAG_MIP_LINEAR;
    d.AddressU = d.AddressV = d.AddressW = D3D11_TEXTURE_ADDRESS_CLAMP;
    d.MaxAnisotropy = 1;
    d.ComparisonFunc = D3D11_COMPARISON_NEVER;
    d.BorderColor[0] = d.BorderColor[1] = d.BorderColor[2] = d.BorderColor[3] = 1.0f;
    d.MinLOD = -D3D11_FLOAT32_MAX;
    d.MaxLOD = D3D11_FLOAT32_MAX;
    return d;
}

GLuint SamplerState::MakeGlSampler(const D3D11_SAMPLER_DESC& d) {
    GLuint s = 0;
    glCreateSamplers(1, &s);
    const uint32_t f = d.Filter;
    const bool anisotropic = (f & 0x55u) == 0x55u && (f & 0x40u);
    const bool minLinear = f & 0x10u, magLinear = f & 0x04u, mipLinear = f & 0x01u;
    const GLenum minFilter = minLinear ? (mipLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST)
                                       : (mipLinear ? GL_NEAREST_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
    glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, minFilter);
    glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
    glSamplerParameterf(s, GL_TEXTURE_MAX_ANISOTROPY,
                        anisotropic ? static_cast<float>(std::clamp(d.MaxAnisotropy, 1u, 16u)) : 1.0f);
    glSamplerParameteri(s, GL_TEXTURE_WRAP_S, Address(d.AddressU));
    glSamplerParameteri(s, GL_TEXTURE_WRAP_T, Address(d.AddressV));
    glSamplerParameteri(s, GL_TEXTURE_WRAP_R, Address(d.AddressW));
    glSamplerParameterfv(s, GL_TEXTURE_BORDER_COLOR, d.BorderColor);
    glSamplerParameterf(s, GL_TEXTURE_LOD_BIAS, d.MipLODBias);
    glSamplerParameterf(s, GL_TEXTURE_MIN_LOD, d.MinLOD);
    glSamplerParameterf(s, GL_TEXTURE_MAX_LOD, d.MaxLOD);
    if (f & 0x80u) {
        glSamplerParameteri(s, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        glSamplerParameteri(s, GL_TEXTURE_COMPARE_FUNC, GlComparison(d.ComparisonFunc));
    }
    return s;
}

HRESULT SamplerState::Create(Device* device, const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** out) {
    const char* f = "CreateSamplerState";
    if (out) *out = nullptr;
    if (!desc) return LogInvalid(f, "pSamplerDesc is null"), E_INVALIDARG;
    if (!ValidFilter(desc->Filter)) return LogInvalid(f, "Filter 0x%x is not a D3D11_FILTER", desc->Filter), E_INVALIDARG;
    if (!ValidAddress(desc->AddressU) || !ValidAddress(desc->AddressV) || !ValidAddress(desc->AddressW))
        return LogInvalid(f, "AddressU, V and W must each be a D3D11_TEXTURE_ADDRESS_MODE (got %d, %d, %d)",
                          desc->AddressU, desc->AddressV, desc->AddressW),
               E_INVALIDARG;
    if (desc->MaxAnisotropy > D3D11_MAX_MAXANISOTROPY)
        return LogInvalid(f, "MaxAnisotropy %u is more than 16", desc->MaxAnisotropy), E_INVALIDARG;
    if ((desc->Filter & 0x80) && (desc->ComparisonFunc < D3D11_COMPARISON_NEVER ||
                                  desc->ComparisonFunc > D3D11_COMPARISON_ALWAYS))
        return LogInvalid(f, "a comparison filter needs a D3D11_COMPARISON_FUNC"), E_INVALIDARG;
    if (!(desc->MipLODBias >= -16.0f && desc->MipLODBias <= 15.99f))
        return LogInvalid(f, "MipLODBias %g is outside -16 to 15.99", desc->MipLODBias), E_INVALIDARG;

    D3D11_SAMPLER_DESC normalized = *desc;
    if (!(desc->Filter & 0x80)) normalized.ComparisonFunc = D3D11_COMPARISON_NEVER;
    const std::string key = StateKey(normalized);
    if (!out) return S_FALSE;
    auto& cache = device->States().sampler;
    const HRESULT hr = FindState(cache, key, f, out);
    if (FAILED(hr) || *out) return hr;
    auto* state = new (std::nothrow) SamplerState(device);
    if (!state) return E_OUTOFMEMORY;
    state->desc_ = normalized;
    state->key_ = key;
    device->MakeCurrent();
    state->gl_ = MakeGlSampler(normalized);
    cache[key] = state;
    *out = state;
    return S_OK;
}

SamplerState::~SamplerState() {
    Device* device = Owner();
    device->States().sampler.erase(key_);
    device->MakeCurrent();
    device->Gl().ForgetSampler(gl_);
    glDeleteSamplers(1, &gl_);
}

}  // namespace quarvel::d3d11
