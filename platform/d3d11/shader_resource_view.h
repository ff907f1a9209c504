// ID3D11ShaderResourceView of a 2D texture: a GL texture view with the view's format, mip
// range and slices, so typeless textures (a depth texture read as R24_UNORM_X8_TYPELESS)
// sample as the view says.
#pragma once

#include "gl.h"
#include "view.h"

namespace quarvel::d3d11 {

class ShaderResourceView final : public View<ID3D11ShaderResourceView> {
public:
    static HRESULT Create(Device* device, ID3D11Resource* resource, const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                          ID3D11ShaderResourceView** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return QueryInterfaceFor<ID3D11ShaderResourceView, ID3D11View, ID3D11DeviceChild, IUnknown>(this, riid,
                                                                                                     object);
    }
    void STDMETHODCALLTYPE GetDesc(D3D11_SHADER_RESOURCE_VIEW_DESC* desc) override {
        if (desc) *desc = desc_;
    }

    GLuint GlTexture() const { return gl_; }
    bool IsCube() const { return desc_.ViewDimension == D3D11_SRV_DIMENSION_TEXTURECUBE; }

private:
    ShaderResourceView(Device* device, Texture2D* texture) : View(device, texture) {}
    ~ShaderResourceView() override;

    D3D11_SHADER_RESOURCE_VIEW_DESC desc_{};
    GLuint gl_ = 0;
};

}  // namespace quarvel::d3d11
