#include "depth_stencil_view.h"

#include <new>

#include "device.h"
#include "log.h"

namespace quarvel::d3d11 {

HRESULT DepthStencilView::Create(Device* device, ID3D11Resource* resource, const D3D11_DEPTH_STENCIL_VIEW_DESC* descIn,
                                 ID3D11DepthStencilView** out) {
    const char* f = "CreateDepthStencilView";
    if (out) *out = nullptr;
    Texture2D* texture = nullptr;
    D3D11_DEPTH_STENCIL_VIEW_DESC desc;
    const HRESULT hr = TargetViewTexture(f, "depth targets", D3D11_BIND_DEPTH_STENCIL, "D3D11_BIND_DEPTH_STENCIL", resource,
                                         descIn, D3D11_DSV_DIMENSION_TEXTURE2D, D3D11_DSV_DIMENSION_TEXTURE2DARRAY,
                                         &texture, &desc);
    if (FAILED(hr)) return hr;
    const D3D11_TEXTURE2D_DESC& td = texture->Desc();
    const FormatInfo* format = GetFormatInfo(desc.Format);
    if (!format || !format->Has(kFormatDepth))
        return LogInvalid(f, "Format %d is not a depth format (R24G8_TYPELESS textures take D24_UNORM_S8_UINT)",
                          desc.Format),
               E_INVALIDARG;
    if (!ViewFormatCompatible(td.Format, desc.Format))
        return LogInvalid(f, "view Format %d is not in the texture's format family (%d)", desc.Format, td.Format),
               E_INVALIDARG;
    if (desc.Flags & ~(D3D11_DSV_READ_ONLY_DEPTH | D3D11_DSV_READ_ONLY_STENCIL))
        return LogInvalid(f, "Flags 0x%x has unknown flags", desc.Flags), E_INVALIDARG;
    uint32_t mip = 0, layer = 0;
    if (desc.ViewDimension == D3D11_DSV_DIMENSION_TEXTURE2D) {
        mip = desc.Texture2D.MipSlice;
    } else if (desc.ViewDimension == D3D11_DSV_DIMENSION_TEXTURE2DARRAY) {
        mip = desc.Texture2DArray.MipSlice;
        layer = desc.Texture2DArray.FirstArraySlice;
        if (layer >= td.ArraySize)
            return LogInvalid(f, "FirstArraySlice %u is outside the texture's %u", layer, td.ArraySize), E_INVALIDARG;
        if (desc.Texture2DArray.ArraySize != 1)
            LogUnsupported(f, "depth views of several array slices (slice FirstArraySlice is used)");
    } else {
        LogUnsupported(f, "view dimensions other than TEXTURE2D and TEXTURE2DARRAY");
        return E_INVALIDARG;
    }
    if (mip >= td.MipLevels)
        return LogInvalid(f, "MipSlice %u is outside the texture's %u levels", mip, td.MipLevels), E_INVALIDARG;
    if (!out) return S_FALSE;

    auto* view = new (std::nothrow) DepthStencilView(device, texture);
    if (!view) return E_OUTOFMEMORY;
    view->desc_ = desc;
    view->hasStencil_ = format->Has(kFormatStencil);
    view->mip_ = mip;
    view->layer_ = layer;
    *out = view;
    return S_OK;
}

DepthStencilView::~DepthStencilView() {
    Owner()->MakeCurrent();
    Owner()->Framebuffers().ForgetView(Id());
}

void DepthStencilView::AttachTo(GLuint framebuffer) const {
    const GLenum attachment = hasStencil_ ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
    if (Texture()->GlTarget() == GL_TEXTURE_2D)
        glNamedFramebufferTexture(framebuffer, attachment, Texture()->GlTexture(), mip_);
    else
        glNamedFramebufferTextureLayer(framebuffer, attachment, Texture()->GlTexture(), mip_, layer_);
}

}  // namespace quarvel::d3d11
