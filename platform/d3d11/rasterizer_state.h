// ID3D11RasterizerState: fill, culling, winding, depth bias, depth clip and scissor,
// applied to GL when it is set.
#pragma once

#include <string>

#include "com_object.h"

namespace quarvel::d3d11 {

class RasterizerState final : public DeviceChild<ID3D11RasterizerState> {
public:
    static HRESULT Create(Device* device, const D3D11_RASTERIZER_DESC* desc, ID3D11RasterizerState** out);
    // Direct3D's default: solid, back faces culled, clockwise front faces, depth clip on.
    static D3D11_RASTERIZER_DESC Default();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return QueryInterfaceFor<ID3D11RasterizerState, ID3D11DeviceChild, IUnknown>(this, riid, object);
    }
    void STDMETHODCALLTYPE GetDesc(D3D11_RASTERIZER_DESC* desc) override {
        if (desc) *desc = desc_;
    }
    const D3D11_RASTERIZER_DESC& Desc() const { return desc_; }

private:
    explicit RasterizerState(Device* device) : DeviceChild(device) {}
    ~RasterizerState() override;

    D3D11_RASTERIZER_DESC desc_{};
    std::string key_;
};

}  // namespace quarvel::d3d11
