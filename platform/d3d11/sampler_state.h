// ID3D11SamplerState on a GL sampler object: filters, address modes (BORDER with its
// colour), level-of-detail range and bias, anisotropy and comparison.
#pragma once

#include <string>

#include "com_object.h"
#include "gl.h"

namespace quarvel::d3d11 {

class SamplerState final : public DeviceChild<ID3D11SamplerState> {
public:
    static HRESULT Create(Device* device, const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** out);
    // Direct3D's default sampler: trilinear, clamped, white border, every level.
    static D3D11_SAMPLER_DESC Default();
    // A GL sampler object with `desc`'s settings (also used for the device's default sampler).
    static GLuint MakeGlSampler(const D3D11_SAMPLER_DESC& desc);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return QueryInterfaceFor<ID3D11SamplerState, ID3D11DeviceChild, IUnknown>(this, riid, object);
    }
    void STDMETHODCALLTYPE GetDesc(D3D11_SAMPLER_DESC* desc) override {
        if (desc) *desc = desc_;
    }
    GLuint GlSampler() const { return gl_; }

private:
    explicit SamplerState(Device* device) : DeviceChild(device) {}
    ~SamplerState() override;

    D3D11_SAMPLER_DESC desc_{};
    GLuint gl_ = 0;
    std::string key_;
};

}  // namespace quarvel::d3d11
