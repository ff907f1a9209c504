// ID3D11BlendState: per-target blending and write masks, applied to GL when it is set.
#pragma once

#include <string>

#include "com_object.h"

namespace quarvel::d3d11 {

class BlendState final : public DeviceChild<ID3D11BlendState> {
public:
    static HRESULT Create(Device* device, const D3D11_BLEND_DESC* desc, ID3D11BlendState** out);
    // Direct3D's default: no blending, all channels written.
    static D3D11_BLEND_DESC Default();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return QueryInterfaceFor<ID3D11BlendState, ID3D11DeviceChild, IUnknown>(this, riid, object);
    }
    void STDMETHODCALLTYPE GetDesc(D3D11_BLEND_DESC* desc) override {
        if (desc) *desc = desc_;
    }
    // With IndependentBlendEnable FALSE every target holds target 0's settings.
    const D3D11_BLEND_DESC& Desc() const { return desc_; }

private:
    explicit BlendState(Device* device) : DeviceChild(device) {}
    ~BlendState() override;

    D3D11_BLEND_DESC desc_{};
    std::string key_;
};

}  // namespace quarvel::d3d11
