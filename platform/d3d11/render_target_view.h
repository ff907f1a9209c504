// ID3D11RenderTargetView of one mip level and slice of a 2D texture, attached to the
// framebuffers the device builds for each set of bound views.
#pragma once

#include "gl.h"
#include "view.h"

namespace quarvel::d3d11 {

class RenderTargetView final : public View<ID3D11RenderTargetView> {
public:
    static HRESULT Create(Device* device, ID3D11Resource* resource, const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                          ID3D11RenderTargetView** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return QueryInterfaceFor<ID3D11RenderTargetView, ID3D11View, ID3D11DeviceChild, IUnknown>(this, riid,
                                                                                                   object);
    }
    void STDMETHODCALLTYPE GetDesc(D3D11_RENDER_TARGET_VIEW_DESC* desc) override {
        if (desc) *desc = desc_;
    }

    void AttachTo(GLuint framebuffer, GLenum attachment) const;
    const FormatInfo& ViewFormat() const { return *format_; }
    uint32_t Width() const;
    uint32_t Height() const;

private:
    RenderTargetView(Device* device, Texture2D* texture) : View(device, texture) {}
    ~RenderTargetView() override;

    D3D11_RENDER_TARGET_VIEW_DESC desc_{};
    const FormatInfo* format_ = nullptr;
    GLuint ownView_ = 0;  // a texture view when the view's format differs from the storage
    uint32_t mip_ = 0, layer_ = 0;
};

}  // namespace quarvel::d3d11
