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
    const D3D11_TEXTURE2D_DESC& td = texture->Desc();
    if (!(td.BindFlags & D3D11_BIND_SHADER_RESOURCE))
        return LogInvalid(f, "the texture was not created with D3D11_BIND_SHADER_RESOURCE"), E_INVALIDARG;

    D3D11_SHADER_RESOURCE_VIEW_DESC desc{};
    const bool cube = td.MiscFlags & D3D11_RESOURCE_MISC_TEXTURECUBE;
    if (descIn) {
        desc = *descIn;
        if (desc.Format == DXGI_FORMAT_UNKNOWN) desc.Format = td.Format;
    } else {
        desc.Format = td.Format;
        if (cube) {
            desc.ViewDimension = td.ArraySize == 6 ? D3D11_SRV_DIMENSION_TEXTURECUBE : D3D11_SRV_DIMENSION_TEXTURECUBEARRAY;
            desc.TextureCubeArray = {0, kAll, 0, td.ArraySize / 6};
        } else if (td.ArraySize > 1) {
            desc.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2DARRAY;
            desc.Texture2DArray = {0, kAll, 0, td.ArraySize};
        } else {
            desc.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2D;
            desc.Texture2D = {0, kAll};
        }
    }
    const FormatInfo* format = GetFormatInfo(desc.Format);
    if (!format || format->Has(kFormatTypeless) || format->Has(kFormatDepth) || !format->Has(kFormatSampled))
        return LogInvalid(f, "Format %d cannot be read by a shader (typeless and depth formats need a typed "
                             "view format such as R24_UNORM_X8_TYPELESS)",
                          desc.Format),
               E_INVALIDARG;
    if (!ViewFormatCompatible(td.Format, desc.Format))
        return LogInvalid(f, "view Format %d is not in the texture's format family (%d)", desc.Format, td.Format),
               E_INVALIDARG;
    if (texture->IsDepthStorage() && !format->Has(kFormatDepthView) && !format->Has(kFormatStencilView))
        return LogInvalid(f, "a depth texture is read through a depth or stencil view format"), E_INVALIDARG;

    uint32_t firstMip = 0, mips = 0, firstLayer = 0, layers = 1;
    GLenum target = GL_TEXTURE_2D;
    switch (desc.ViewDimension) {
        case D3D11_SRV_DIMENSION_TEXTURE2D:
            firstMip = desc.Texture2D.MostDetailedMip;
            mips = desc.Texture2D.MipLevels;
            break;
        case D3D11_SRV_DIMENSION_TEXTURE2DARRAY:
            firstMip = desc.Texture2DArray.MostDetailedMip;
            mips = desc.Texture2DArray.MipLevels;
            firstLayer = desc.Texture2DArray.FirstArraySlice;
            layers = desc.Texture2DArray.ArraySize;
            target = GL_TEXTURE_2D_ARRAY;
            if (!Range(firstLayer, layers, td.ArraySize))
                return LogInvalid(f, "array slices %u+%u are outside the texture's %u", firstLayer, layers,
                                  td.ArraySize),
                       E_INVALIDARG;
            break;
        case D3D11_SRV_DIMENSION_TEXTURECUBE:
            if (!cube) return LogInvalid(f, "a cube view needs a texture made with TEXTURECUBE"), E_INVALIDARG;
            firstMip = desc.TextureCube.MostDetailedMip;
            mips = desc.TextureCube.MipLevels;
            layers = 6;
            target = GL_TEXTURE_CUBE_MAP;
            break;
        case D3D11_SRV_DIMENSION_TEXTURECUBEARRAY:
            if (!cube) return LogInvalid(f, "a cube view needs a texture made with TEXTURECUBE"), E_INVALIDARG;
            firstMip = desc.TextureCubeArray.MostDetailedMip;
            mips = desc.TextureCubeArray.MipLevels;
            firstLayer = desc.TextureCubeArray.First2DArrayFace;
            layers = desc.TextureCubeArray.NumCubes == kAll ? (td.ArraySize - firstLayer) / 6 * 6
                                                            : desc.TextureCubeArray.NumCubes * 6;
            target = GL_TEXTURE_CUBE_MAP_ARRAY;
            if (layers == 0 || firstLayer + layers > td.ArraySize)
                return LogInvalid(f, "the cubes are outside the texture's slices"), E_INVALIDARG;
            break;
        default:
            LogUnsupported(f, "view dimensions other than TEXTURE2D, TEXTURE2DARRAY, TEXTURECUBE, TEXTURECUBEARRAY");
            return E_INVALIDARG;
    }
    if (!Range(firstMip, mips, td.MipLevels))
        return LogInvalid(f, "mip levels %u+%u are outside the texture's %u", firstMip, mips, td.MipLevels),
               E_INVALIDARG;
    if (!out) return S_FALSE;

    auto* view = new (std::nothrow) ShaderResourceView(device, texture);
    if (!view) return E_OUTOFMEMORY;
    view->desc_ = desc;
    device->MakeCurrent();
    while (glGetError() != GL_NO_ERROR) {
    }
    glGenTextures(1, &view->gl_);
    const GLenum internal = texture->IsDepthStorage() ? texture->StorageFormat() : format->internalFormat;
    glTextureView(view->gl_, target, texture->GlTexture(), internal, firstMip, mips, firstLayer, layers);
    if (format->Has(kFormatStencilView))
        glTextureParameteri(view->gl_, GL_DEPTH_STENCIL_TEXTURE_MODE, GL_STENCIL_INDEX);
    if (format->Has(kFormatAlphaOne)) glTextureParameteri(view->gl_, GL_TEXTURE_SWIZZLE_A, GL_ONE);
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
