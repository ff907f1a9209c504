#include "shader_resource_view.h"

#include <new>

#include "device.h"
#include "log.h"

namespace quarvel::d3d11 {
namespace {

constexpr UINT kAll = ~0u;

// A view's range: `count` of kAll means "to the end".
bool Range(uint32_t first, uint32_t& count, uint32_t total) {
    if (first >= total) return false;
    if (count == kAll) count = total - first;
    return count >= 1 && first + count <= total;
}

// What a view covers, in the terms glTextureView takes.
struct ViewRange {
    GLenum target = GL_TEXTURE_2D;
    uint32_t firstMip = 0, mips = 0, firstLayer = 0, layers = 1;
};

// No description views the whole texture as what it is; an UNKNOWN format is the texture's.
D3D11_SHADER_RESOURCE_VIEW_DESC Normalize(const D3D11_TEXTURE2D_DESC& td, const D3D11_SHADER_RESOURCE_VIEW_DESC* in) {
    D3D11_SHADER_RESOURCE_VIEW_DESC desc{};
    if (in) {
        desc = *in;
        if (desc.Format == DXGI_FORMAT_UNKNOWN) desc.Format = td.Format;
        return desc;
    }
    desc.Format = td.Format;
    if (td.MiscFlags & D3D11_RESOURCE_MISC_TEXTURECUBE) {
        desc.ViewDimension = td.ArraySize == 6 ? D3D11_SRV_DIMENSION_TEXTURECUBE : D3D11_SRV_DIMENSION_TEXTURECUBEARRAY;
        desc.TextureCubeArray = {0, kAll, 0, td.ArraySize / 6};
    } else if (td.ArraySize > 1) {
        desc.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2DARRAY;
        desc.Texture2DArray = {0, kAll, 0, td.ArraySize};
    } else {
        desc.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2D;
        desc.Texture2D = {0, kAll};
    }
    return desc;
}

bool ValidFormat(const Texture2D& texture, const D3D11_SHADER_RESOURCE_VIEW_DESC& desc, const char* f) {
    const D3D11_TEXTURE2D_DESC& td = texture.Desc();
    const FormatInfo* format = GetFormatInfo(desc.Format);
    if (!format || format->Has(kFormatTypeless) || format->Has(kFormatDepth) || !format->Has(kFormatSampled))
        return LogInvalid(f,
                          "Format %d cannot be read by a shader (typeless and depth formats need a typed "
                          "view format such as R24_UNORM_X8_TYPELESS)",
                          desc.Format),
               false;
    if (!ViewFormatCompatible(td.Format, desc.Format))
        return LogInvalid(f, "view Format %d is not in the texture's format family (%d)", desc.Format, td.Format),
               false;
    if (texture.IsDepthStorage() && !format->Has(kFormatDepthView) && !format->Has(kFormatStencilView))
        return LogInvalid(f, "a depth texture is read through a depth or stencil view format"), false;
    return true;
}

// The view's dimension, mips and slices against the texture's; false, saying why, when the
// view does not fit.
bool ValidRange(const D3D11_TEXTURE2D_DESC& td, const D3D11_SHADER_RESOURCE_VIEW_DESC& desc, const char* f,
                ViewRange* range) {
    const bool cube = td.MiscFlags & D3D11_RESOURCE_MISC_TEXTURECUBE;
    ViewRange& r = *range;
    switch (desc.ViewDimension) {
        case D3D11_SRV_DIMENSION_TEXTURE2D:
            r.firstMip = desc.Texture2D.MostDetailedMip;
            r.mips = desc.Texture2D.MipLevels;
            break;
        case D3D11_SRV_DIMENSION_TEXTURE2DARRAY:
            r.firstMip = desc.Texture2DArray.MostDetailedMip;
            r.mips = desc.Texture2DArray.MipLevels;
            r.firstLayer = desc.Texture2DArray.FirstArraySlice;
            r.layers = desc.Texture2DArray.ArraySize;
            r.target = GL_TEXTURE_2D_ARRAY;
            if (!Range(r.firstLayer, r.layers, td.ArraySize))
                return LogInvalid(f, "array slices %u+%u are outside the texture's %u", r.firstLayer, r.layers,
                                  td.ArraySize),
                       false;
            break;
        case D3D11_SRV_DIMENSION_TEXTURECUBE:
            if (!cube) return LogInvalid(f, "a cube view needs a texture made with TEXTURECUBE"), false;
            r.firstMip = desc.TextureCube.MostDetailedMip;
            r.mips = desc.TextureCube.MipLevels;
            r.layers = 6;
            r.target = GL_TEXTURE_CUBE_MAP;
            break;
        case D3D11_SRV_DIMENSION_TEXTURECUBEARRAY:
            if (!cube) return LogInvalid(f, "a cube view needs a texture made with TEXTURECUBE"), false;
            r.firstMip = desc.TextureCubeArray.MostDetailedMip;
            r.mips = desc.TextureCubeArray.MipLevels;
            r.firstLayer = desc.TextureCubeArray.First2DArrayFace;
            r.layers = desc.TextureCubeArray.NumCubes == kAll ? (td.ArraySize - r.firstLayer) / 6 * 6
                                                              : desc.TextureCubeArray.NumCubes * 6;
            r.target = GL_TEXTURE_CUBE_MAP_ARRAY;
            if (r.layers == 0 || r.firstLayer + r.layers > td.ArraySize)
                return LogInvalid(f, "the cubes are outside the texture's slices"), false;
            break;
        default:
            LogUnsupported(f, "view dimensions other than TEXTURE2D, TEXTURE2DARRAY, TEXTURECUBE, TEXTURECUBEARRAY");
            return false;
    }
    if (!Range(r.firstMip, r.mips, td.MipLevels))
        return LogInvalid(f, "mip levels %u+%u are outside the texture's %u", r.firstMip, r.mips, td.MipLevels), false;
    return true;
}

}  // namespace

HRESULT ShaderResourceView::Create(Device* device, ID3D11Resource* resource,
                                   const D3D11_SHADER_RESOURCE_VIEW_DESC* descIn, ID3D11ShaderResourceView** out) {
    const char* f = "CreateShaderResourceView";
    if (out) *out = nullptr;
    if (!resource) return LogInvalid(f, "pResource is null"), E_INVALIDARG;
    Texture2D* texture = AsTexture2D(resource);
    if (!texture) {
        LogUnsupported(f, "views of buffers and of 1D/3D textures");
        return E_INVALIDARG;
    }
    if (!(texture->Desc().BindFlags & D3D11_BIND_SHADER_RESOURCE))
        return LogInvalid(f, "the texture was not created with D3D11_BIND_SHADER_RESOURCE"), E_INVALIDARG;

    const D3D11_SHADER_RESOURCE_VIEW_DESC desc = Normalize(texture->Desc(), descIn);
    ViewRange range;
    if (!ValidFormat(*texture, desc, f) || !ValidRange(texture->Desc(), desc, f, &range)) return E_INVALIDARG;
    if (!out) return S_FALSE;

    auto* view = new (std::nothrow) ShaderResourceView(device, texture);
    if (!view) return E_OUTOFMEMORY;
    view->desc_ = desc;
    device->MakeCurrent();
    while (glGetError() != GL_NO_ERROR) {
    }
    const FormatInfo& format = *GetFormatInfo(desc.Format);
    glGenTextures(1, &view->gl_);
    const GLenum internal = texture->IsDepthStorage() ? texture->StorageFormat() : format.internalFormat;
    glTextureView(view->gl_, range.target, texture->GlTexture(), internal, range.firstMip, range.mips, range.firstLayer,
                  range.layers);
    if (format.Has(kFormatStencilView)) glTextureParameteri(view->gl_, GL_DEPTH_STENCIL_TEXTURE_MODE, GL_STENCIL_INDEX);
    if (format.Has(kFormatAlphaOne)) glTextureParameteri(view->gl_, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        view->Release();
        if (error == GL_OUT_OF_MEMORY) return E_OUTOFMEMORY;
        LogError(f, "GL refused the texture view (0x%x)", error);
        return E_INVALIDARG;
    }
    *out = view;
    return S_OK;
}

ShaderResourceView::~ShaderResourceView() {
    if (gl_) {
        Owner()->MakeCurrent();
        Owner()->Gl().ForgetTexture(gl_);
        glDeleteTextures(1, &gl_);
    }
}

}  // namespace quarvel::d3d11
