#include "render_target_view.h"

#include <algorithm>
#include <new>

#include "device.h"
#include "log.h"

namespace quarvel::d3d11 {

HRESULT RenderTargetView::Create(Device* device, ID3D11Resource* resource, const D3D11_RENDER_TARGET_VIEW_DESC* descIn,
                                 ID3D11RenderTargetView** out) {
    const char* f = "CreateRenderTargetView";
    if (out) *out = nullptr;
    Texture2D* texture = nullptr;
    D3D11_RENDER_TARGET_VIEW_DESC desc;
    const HRESULT hr = TargetViewTexture(f, "render targets", D3D11_BIND_RENDER_TARGET, "D3D11_BIND_RENDER_TARGET", resource,
                                         descIn, D3D11_RTV_DIMENSION_TEXTURE2D, D3D11_RTV_DIMENSION_TEXTURE2DARRAY,
                                         &texture, &desc);
    if (FAILED(hr)) return hr;
    const D3D11_TEXTURE2D_DESC& td = texture->Desc();
    const FormatInfo* format = GetFormatInfo(desc.Format);
    if (!format || !format->Has(kFormatRenderTarget))
        return LogInvalid(f, "Format %d cannot be a render target (a typeless texture needs a typed view format)",
                          desc.Format),
               E_INVALIDARG;
    if (!ViewFormatCompatible(td.Format, desc.Format))
        return LogInvalid(f, "view Format %d is not in the texture's format family (%d)", desc.Format, td.Format),
               E_INVALIDARG;
    uint32_t mip = 0, layer = 0, layers = 1;
    if (desc.ViewDimension == D3D11_RTV_DIMENSION_TEXTURE2D) {
        mip = desc.Texture2D.MipSlice;
    } else if (desc.ViewDimension == D3D11_RTV_DIMENSION_TEXTURE2DARRAY) {
        mip = desc.Texture2DArray.MipSlice;
        layer = desc.Texture2DArray.FirstArraySlice;
        layers = desc.Texture2DArray.ArraySize == ~0u ? td.ArraySize - std::min(layer, td.ArraySize)
                                                      : desc.Texture2DArray.ArraySize;
        if (layer >= td.ArraySize || layers == 0 || layer + layers > td.ArraySize)
            return LogInvalid(f, "array slices %u+%u are outside the texture's %u", layer, layers, td.ArraySize),
                   E_INVALIDARG;
        if (layers > 1) LogUnsupported(f, "rendering to several array slices at once (slice FirstArraySlice is drawn)");
    } else {
        LogUnsupported(f, "view dimensions other than TEXTURE2D and TEXTURE2DARRAY");
        return E_INVALIDARG;
    }
    if (mip >= td.MipLevels)
        return LogInvalid(f, "MipSlice %u is outside the texture's %u levels", mip, td.MipLevels), E_INVALIDARG;
    if (!out) return S_FALSE;

    auto* view = new (std::nothrow) RenderTargetView(device, texture);
    if (!view) return E_OUTOFMEMORY;
    view->desc_ = desc;
    view->format_ = format;
    view->mip_ = mip;
    view->layer_ = layer;
    if (format->internalFormat != texture->StorageFormat()) {
        device->MakeCurrent();
        glGenTextures(1, &view->ownView_);
        glTextureView(view->ownView_, GL_TEXTURE_2D, texture->GlTexture(), format->internalFormat, mip, 1, layer, 1);
    }
    *out = view;
    return S_OK;
}

RenderTargetView::~RenderTargetView() {
    Owner()->MakeCurrent();
    Owner()->Framebuffers().ForgetView(Id());
    if (ownView_) {
        Owner()->Gl().ForgetTexture(ownView_);
        glDeleteTextures(1, &ownView_);
    }
}

void RenderTargetView::AttachTo(GLuint framebuffer, GLenum attachment) const {
    if (ownView_)
        glNamedFramebufferTexture(framebuffer, attachment, ownView_, 0);
    else if (Texture()->GlTarget() == GL_TEXTURE_2D)
        glNamedFramebufferTexture(framebuffer, attachment, Texture()->GlTexture(), mip_);
    else
        glNamedFramebufferTextureLayer(framebuffer, attachment, Texture()->GlTexture(), mip_, layer_);
}

uint32_t RenderTargetView::Width() const { return Texture()->MipWidth(mip_); }
uint32_t RenderTargetView::Height() const { return Texture()->MipHeight(mip_); }

}  // namespace quarvel::d3d11
