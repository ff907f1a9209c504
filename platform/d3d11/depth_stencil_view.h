// ID3D11DepthStencilView of one mip level and slice of a depth texture.
#pragma once

#include "gl.h"
#include "view.h"

namespace quarvel::d3d11 {

class DepthStencilView final : public View<ID3D11DepthStencilView> {
public:
    static HRESULT Create(Device* device, ID3D11Resource* resource, const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                          ID3D11DepthStencilView** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return QueryInterfaceFor<ID3D11DepthStencilView, ID3D11View, ID3D11DeviceChild, IUnknown>(this, riid,
                                                                                                   object);
    }
    void STDMETHODCALLTYPE GetDesc(D3D11_DEPTH_STENCIL_VIEW_DESC* desc) override {
        if (desc) *desc = desc_;
    }

    void AttachTo(GLuint framebuffer) const;
    bool HasStencil() const { return hasStencil_; }
    bool ReadOnlyDepth() const { return desc_.Flags & D3D11_DSV_READ_ONLY_DEPTH; }
    bool ReadOnlyStencil() const { return desc_.Flags & D3D11_DSV_READ_ONLY_STENCIL; }

private:
    DepthStencilView(Device* device, Texture2D* texture) : View(device, texture) {}
    ~DepthStencilView() override;

    D3D11_DEPTH_STENCIL_VIEW_DESC desc_{};
    bool hasStencil_ = false;
    uint32_t mip_ = 0, layer_ = 0;
};

}  // namespace quarvel::d3d11
