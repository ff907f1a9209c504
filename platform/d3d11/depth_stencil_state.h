// ID3D11DepthStencilState: depth test and write, and two-sided stencil, applied to GL when
// it is set (with the stencil reference given beside it).
#pragma once

#include <string>

#include "com_object.h"

namespace quarvel::d3d11 {

class DepthStencilState final : public DeviceChild<ID3D11DepthStencilState> {
public:
    static HRESULT Create(Device* device, const D3D11_DEPTH_STENCIL_DESC* desc, ID3D11DepthStencilState** out);
    // Direct3D's default: depth test LESS with writes, no stencil.
    static D3D11_DEPTH_STENCIL_DESC Default();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return QueryInterfaceFor<ID3D11DepthStencilState, ID3D11DeviceChild, IUnknown>(this, riid, object);
    }
    void STDMETHODCALLTYPE GetDesc(D3D11_DEPTH_STENCIL_DESC* desc) override {
        if (desc) *desc = desc_;
    }
    const D3D11_DEPTH_STENCIL_DESC& Desc() const { return desc_; }

private:
    explicit DepthStencilState(Device* device) : DeviceChild(device) {}
    ~DepthStencilState() override;

    D3D11_DEPTH_STENCIL_DESC desc_{};
    std::string key_;
};

}  // namespace quarvel::d3d11
