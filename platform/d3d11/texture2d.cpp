#include "texture2d.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "device.h"
#include "log.h"

namespace quarvel::d3d11 {
namespace {

constexpr UINT kTextureBindFlags =
    D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_RENDER_TARGET | D3D11_BIND_DEPTH_STENCIL | D3D11_BIND_UNORDERED_ACCESS;

uint32_t FullMipCount(uint32_t width, uint32_t height) {
    uint32_t levels = 1;
    for (uint32_t size = std::max(width, height); size > 1; size >>= 1) ++levels;
    return levels;
}

bool IsDepthFamily(DXGI_FORMAT family) {
    return family == DXGI_FORMAT_R24G8_TYPELESS || family == DXGI_FORMAT_R32_TYPELESS ||
           family == DXGI_FORMAT_R16_TYPELESS || family == DXGI_FORMAT_R32G8X24_TYPELESS;
}

// Direct3D keeps a D24S8 texel as depth in the low 24 bits and stencil in the top 8; GL's
// UNSIGNED_INT_24_8 the other way round.
void SwapDepthStencilWords(uint8_t* data, size_t bytes, bool toGl) {
    for (size_t i = 0; i + 4 <= bytes; i += 4) {
        uint32_t w;
        std::memcpy(&w, data + i, 4);
        w = toGl ? (w << 8) | (w >> 24) : (w >> 8) | (w << 24);
        std::memcpy(data + i, &w, 4);
    }
}

bool Validate(const D3D11_TEXTURE2D_DESC& d, const FormatInfo* format, const D3D11_SUBRESOURCE_DATA* data) {
    const char* f = "CreateTexture2D";
    if (d.Width < 1 || d.Height < 1 || d.Width > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION ||
        d.Height > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION)
        return LogInvalid(f, "Width and Height must be 1 to 16384 (got %u x %u)", d.Width, d.Height), false;
    if (d.ArraySize < 1 || d.ArraySize > D3D11_REQ_TEXTURE2D_ARRAY_AXIS_DIMENSION)
        return LogInvalid(f, "ArraySize must be 1 to 2048 (got %u)", d.ArraySize), false;
    if (d.MipLevels > FullMipCount(d.Width, d.Height))
        return LogInvalid(f, "MipLevels %u is more than a %u x %u texture has", d.MipLevels, d.Width, d.Height), false;
    if (!format) {
        if (d.Format == DXGI_FORMAT_UNKNOWN) return LogInvalid(f, "Format is DXGI_FORMAT_UNKNOWN"), false;
        LogUnsupported(f, "this DXGI_FORMAT");
        return false;
    }
    if (d.SampleDesc.Count != 1 || d.SampleDesc.Quality != 0) {
        if (d.SampleDesc.Count > 1) LogUnsupported(f, "multisampled textures");
        return LogInvalid(f, "SampleDesc must be 1 sample of quality 0"), false;
    }
    if (d.Usage > D3D11_USAGE_STAGING) return LogInvalid(f, "Usage %u is not a D3D11_USAGE", d.Usage), false;
    if (d.BindFlags & ~kTextureBindFlags)
        return LogInvalid(f, "BindFlags 0x%x has buffer-only flags", d.BindFlags), false;
    if (d.CPUAccessFlags & ~(D3D11_CPU_ACCESS_READ | D3D11_CPU_ACCESS_WRITE))
        return LogInvalid(f, "CPUAccessFlags 0x%x has unknown flags", d.CPUAccessFlags), false;
    const bool depthBound = d.BindFlags & D3D11_BIND_DEPTH_STENCIL;
    if (depthBound && (d.BindFlags & D3D11_BIND_RENDER_TARGET))
        return LogInvalid(f, "a texture cannot be both render target and depth stencil"), false;
    if (depthBound && !(format->Has(kFormatDepth) || (format->Has(kFormatTypeless) && IsDepthFamily(format->family))))
        return LogInvalid(f, "D3D11_BIND_DEPTH_STENCIL needs a depth format or its typeless family"), false;
    if (format->Has(kFormatDepth) && (d.BindFlags & D3D11_BIND_SHADER_RESOURCE))
        return LogInvalid(f, "a depth format cannot be a shader resource: use its typeless family "
                             "(R24G8_TYPELESS with D24_UNORM_S8_UINT and R24_UNORM_X8_TYPELESS views)"),
               false;
    if (!depthBound && !format->Has(kFormatColor) && !format->Has(kFormatDepth) && !format->Has(kFormatTypeless))
        return LogInvalid(f, "this format is only valid for views"), false;
    if ((d.BindFlags & D3D11_BIND_RENDER_TARGET) &&
        (format->Has(kFormatCompressed) || format->Has(kFormatDepth) ||
         (!format->Has(kFormatRenderTarget) && !format->Has(kFormatTypeless))))
        return LogInvalid(f, "this format cannot be a render target"), false;
    switch (d.Usage) {
        case D3D11_USAGE_DEFAULT:
            if (d.CPUAccessFlags) return LogInvalid(f, "D3D11_USAGE_DEFAULT textures have no CPU access"), false;
            break;
        case D3D11_USAGE_IMMUTABLE:
            if (d.CPUAccessFlags) return LogInvalid(f, "D3D11_USAGE_IMMUTABLE textures have no CPU access"), false;
            if (!data) return LogInvalid(f, "D3D11_USAGE_IMMUTABLE textures need initial data"), false;
            if (d.BindFlags & ~D3D11_BIND_SHADER_RESOURCE)
                return LogInvalid(f, "D3D11_USAGE_IMMUTABLE textures can only be shader resources"), false;
            break;
        case D3D11_USAGE_DYNAMIC:
            if (d.CPUAccessFlags != D3D11_CPU_ACCESS_WRITE)
                return LogInvalid(f, "D3D11_USAGE_DYNAMIC textures need exactly D3D11_CPU_ACCESS_WRITE"), false;
            if (d.MipLevels != 1 || d.ArraySize != 1)
                return LogInvalid(f, "D3D11_USAGE_DYNAMIC textures have one mip level and one slice"), false;
            if (d.BindFlags & ~D3D11_BIND_SHADER_RESOURCE)
                return LogInvalid(f, "D3D11_USAGE_DYNAMIC textures can only be shader resources"), false;
            break;
        case D3D11_USAGE_STAGING:
            if (d.BindFlags) return LogInvalid(f, "D3D11_USAGE_STAGING textures cannot be bound (BindFlags 0)"), false;
            if (!d.CPUAccessFlags) return LogInvalid(f, "D3D11_USAGE_STAGING textures need CPU access"), false;
            break;
    }
    if (d.MiscFlags & D3D11_RESOURCE_MISC_TEXTURECUBE) {
        if (d.ArraySize % 6) return LogInvalid(f, "a cube texture's ArraySize must be a multiple of 6"), false;
        if (d.Width != d.Height) return LogInvalid(f, "a cube texture must be square"), false;
    }
    if ((d.MiscFlags & D3D11_RESOURCE_MISC_GENERATE_MIPS) &&
        (d.BindFlags & (D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE)) !=
            (D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE))
        return LogInvalid(f, "D3D11_RESOURCE_MISC_GENERATE_MIPS needs render-target and shader-resource binding"),
               false;
    return true;
}

}  // namespace

HRESULT Texture2D::Create(Device* device, const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                          ID3D11Texture2D** out) {
    if (out) *out = nullptr;
    Texture2D* texture = nullptr;
    const HRESULT hr = Make(device, desc, data, out ? &texture : nullptr, out == nullptr);
    if (out && SUCCEEDED(hr)) *out = texture;
    return hr;
}

HRESULT Texture2D::CreateInternal(Device* device, const D3D11_TEXTURE2D_DESC& desc, Texture2D** out) {
    *out = nullptr;
    return Make(device, &desc, nullptr, out, false);
}

HRESULT Texture2D::Make(Device* device, const D3D11_TEXTURE2D_DESC* descIn, const D3D11_SUBRESOURCE_DATA* data,
                        Texture2D** out, bool validateOnly) {
    const char* f = "CreateTexture2D";
    if (!descIn) return LogInvalid(f, "pDesc is null"), E_INVALIDARG;
    D3D11_TEXTURE2D_DESC desc = *descIn;
    const FormatInfo* format = GetFormatInfo(desc.Format);
    if (!Validate(desc, format, data)) return E_INVALIDARG;
    if (desc.MipLevels == 0) desc.MipLevels = FullMipCount(desc.Width, desc.Height);
    if (desc.BindFlags & D3D11_BIND_UNORDERED_ACCESS)
        LogUnsupported(f, "D3D11_BIND_UNORDERED_ACCESS (the texture is created without it)");
    if (desc.MiscFlags & ~(D3D11_RESOURCE_MISC_TEXTURECUBE | D3D11_RESOURCE_MISC_GENERATE_MIPS))
        LogUnsupported(f, "MiscFlags other than TEXTURECUBE and GENERATE_MIPS (ignored)");
    const uint32_t subresources = desc.MipLevels * desc.ArraySize;
    if (data) {
        for (uint32_t i = 0; i < subresources; ++i) {
            if (!data[i].pSysMem) return LogInvalid(f, "pInitialData[%u].pSysMem is null", i), E_INVALIDARG;
            const uint32_t mipWidth = std::max(1u, desc.Width >> (i % desc.MipLevels));
            const uint32_t mipHeight = std::max(1u, desc.Height >> (i % desc.MipLevels));
            if (RowCount(*format, mipHeight) > 1 && data[i].SysMemPitch < RowPitch(*format, mipWidth))
                return LogInvalid(f, "pInitialData[%u].SysMemPitch %u is less than a row (%u bytes)", i,
                                  data[i].SysMemPitch, RowPitch(*format, mipWidth)),
                       E_INVALIDARG;
        }
    }
    if (validateOnly) return S_FALSE;

    Texture2D* texture = new (std::nothrow) Texture2D(device);
    if (!texture) return E_OUTOFMEMORY;
    texture->desc_ = desc;
    texture->format_ = format;
    texture->mapType_.assign(subresources, 0);
    const bool cube = desc.MiscFlags & D3D11_RESOURCE_MISC_TEXTURECUBE;
    texture->target_ = cube ? (desc.ArraySize == 6 ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_CUBE_MAP_ARRAY)
                            : (desc.ArraySize == 1 ? GL_TEXTURE_2D : GL_TEXTURE_2D_ARRAY);
    texture->storage_ = TextureStorageFormat(*format, desc.BindFlags & D3D11_BIND_DEPTH_STENCIL);
    if (!texture->storage_) texture->storage_ = format->internalFormat;

    if (desc.Usage == D3D11_USAGE_STAGING || desc.Usage == D3D11_USAGE_DYNAMIC) {
        try {
            texture->memory_.resize(subresources);
            for (uint32_t i = 0; i < subresources; ++i) texture->memory_[i].assign(texture->DepthPitchOf(i), 0);
        } catch (const std::bad_alloc&) {
            texture->Release();
            return E_OUTOFMEMORY;
        }
    }
    if (desc.Usage != D3D11_USAGE_STAGING) {
        device->MakeCurrent();
        while (glGetError() != GL_NO_ERROR) {
        }
        glCreateTextures(texture->target_, 1, &texture->gl_);
        if (texture->target_ == GL_TEXTURE_2D || texture->target_ == GL_TEXTURE_CUBE_MAP)
            glTextureStorage2D(texture->gl_, desc.MipLevels, texture->storage_, desc.Width, desc.Height);
        else
            glTextureStorage3D(texture->gl_, desc.MipLevels, texture->storage_, desc.Width, desc.Height,
                               desc.ArraySize);
        const GLenum error = glGetError();
        if (error != GL_NO_ERROR) {
            texture->Release();
            if (error == GL_OUT_OF_MEMORY) return E_OUTOFMEMORY;
            LogError(f, "GL refused the texture storage (0x%x)", error);
            return E_INVALIDARG;
        }
        if (format->Has(kFormatAlphaOne)) glTextureParameteri(texture->gl_, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    }
    if (data) {
        for (uint32_t i = 0; i < subresources; ++i) {
            texture->Upload(i, 0, 0, texture->MipWidth(texture->MipOf(i)), texture->MipHeight(texture->MipOf(i)),
                            data[i].pSysMem, data[i].SysMemPitch);
        }
    }
    *out = texture;
    return S_OK;
}

Texture2D::~Texture2D() {
    if (gl_) {
        Owner()->MakeCurrent();
        Owner()->Gl().ForgetTexture(gl_);
        glDeleteTextures(1, &gl_);
    }
}

bool Texture2D::IsDepthStorage() const {
    return storage_ == GL_DEPTH24_STENCIL8 || storage_ == GL_DEPTH32F_STENCIL8 || storage_ == GL_DEPTH_COMPONENT32F ||
           storage_ == GL_DEPTH_COMPONENT16;
}

uint32_t Texture2D::MipWidth(uint32_t mip) const { return std::max(1u, desc_.Width >> mip); }
uint32_t Texture2D::MipHeight(uint32_t mip) const { return std::max(1u, desc_.Height >> mip); }

uint32_t Texture2D::RowPitchOf(uint32_t subresource) const {
    return RowPitch(*format_, MipWidth(MipOf(subresource)));
}

uint32_t Texture2D::DepthPitchOf(uint32_t subresource) const {
    return RowPitchOf(subresource) * RowCount(*format_, MipHeight(MipOf(subresource)));
}

void Texture2D::Upload(uint32_t subresource, uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                       const void* data, uint32_t rowPitch) {
    const FormatInfo& f = *format_;
    const uint32_t rowBytes = RowPitch(f, width);
    const uint32_t rows = RowCount(f, height);
    if (rows <= 1 || rowPitch == 0) rowPitch = rowBytes;
    const auto* source = static_cast<const uint8_t*>(data);

    if (gl_ == 0) {  // staging: memory only
        uint8_t* base = memory_[subresource].data();
        const uint32_t pitch = RowPitchOf(subresource);
        const uint32_t bx = x / f.BlockSize(), by = y / f.BlockSize();
        for (uint32_t r = 0; r < rows; ++r)
            std::memcpy(base + (by + r) * pitch + bx * f.bytes, source + size_t(r) * rowPitch, rowBytes);
        return;
    }
    // Tighten the rows when the pitch is not a whole number of texels, and convert
    // depth-stencil words; otherwise GL reads the caller's memory as it is.
    std::vector<uint8_t> tight;
    const bool convert = storage_ == GL_DEPTH24_STENCIL8;
    if (convert || f.Has(kFormatCompressed) || rowPitch % f.bytes) {
        tight.resize(size_t(rowBytes) * rows);
        for (uint32_t r = 0; r < rows; ++r) std::memcpy(tight.data() + size_t(r) * rowBytes, source + size_t(r) * rowPitch, rowBytes);
        if (convert) SwapDepthStencilWords(tight.data(), tight.size(), true);
        source = tight.data();
        rowPitch = rowBytes;
    }
    Owner()->MakeCurrent();
    const GLint mip = static_cast<GLint>(MipOf(subresource));
    const GLint layer = static_cast<GLint>(LayerOf(subresource));
    const bool layered = target_ != GL_TEXTURE_2D;
    if (f.Has(kFormatCompressed)) {
        const GLsizei size = static_cast<GLsizei>(rowBytes * rows);
        if (layered)
            glCompressedTextureSubImage3D(gl_, mip, x, y, layer, width, height, 1, storage_, size, source);
        else
            glCompressedTextureSubImage2D(gl_, mip, x, y, width, height, storage_, size, source);
        return;
    }
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(rowPitch / f.bytes));
    if (layered)
        glTextureSubImage3D(gl_, mip, x, y, layer, width, height, 1, f.uploadFormat, f.uploadType, source);
    else
        glTextureSubImage2D(gl_, mip, x, y, width, height, f.uploadFormat, f.uploadType, source);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

void Texture2D::Download(uint32_t subresource, uint8_t* out) {
    if (!gl_) {
        std::memcpy(out, memory_[subresource].data(), memory_[subresource].size());
        return;
    }
    Owner()->MakeCurrent();
    const GLint mip = static_cast<GLint>(MipOf(subresource));
    const GLint layer = static_cast<GLint>(LayerOf(subresource));
    const GLsizei size = static_cast<GLsizei>(DepthPitchOf(subresource));
    const GLsizei w = static_cast<GLsizei>(MipWidth(mip)), h = static_cast<GLsizei>(MipHeight(mip));
    if (format_->Has(kFormatCompressed)) {
        glGetCompressedTextureSubImage(gl_, mip, 0, 0, layer, w, h, 1, size, out);
        return;
    }
    glGetTextureSubImage(gl_, mip, 0, 0, layer, w, h, 1, format_->uploadFormat, format_->uploadType, size, out);
    if (storage_ == GL_DEPTH24_STENCIL8) SwapDepthStencilWords(out, size_t(size), false);
}

bool Texture2D::DownloadRegion(uint32_t subresource, uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                               uint8_t* out, uint32_t rowPitch) {
    if (!gl_ || format_->Has(kFormatCompressed) || storage_ == GL_DEPTH24_STENCIL8 || rowPitch % format_->bytes)
        return false;
    Owner()->MakeCurrent();
    const GLsizei size = static_cast<GLsizei>(size_t(height - 1) * rowPitch + size_t(width) * format_->bytes);
    glPixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(rowPitch / format_->bytes));
    glGetTextureSubImage(gl_, static_cast<GLint>(MipOf(subresource)), static_cast<GLint>(x), static_cast<GLint>(y),
                         static_cast<GLint>(LayerOf(subresource)), static_cast<GLsizei>(width),
                         static_cast<GLsizei>(height), 1, format_->uploadFormat, format_->uploadType, size, out);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    return true;
}

HRESULT Texture2D::Map(uint32_t subresource, D3D11_MAP type, D3D11_MAPPED_SUBRESOURCE* mapped) {
    const char* f = "Map";
    if (subresource >= SubresourceCount())
        return LogInvalid(f, "Subresource %u is out of range (%u)", subresource, SubresourceCount()), E_INVALIDARG;
    if (memory_.empty())
        return LogInvalid(f, "only staging and dynamic textures can be mapped"), E_INVALIDARG;
    if (mapType_[subresource]) return LogInvalid(f, "subresource %u is already mapped", subresource), E_INVALIDARG;
    const bool reads = type == D3D11_MAP_READ || type == D3D11_MAP_READ_WRITE;
    const bool writes = type != D3D11_MAP_READ;
    if (type < D3D11_MAP_READ || type > D3D11_MAP_WRITE_NO_OVERWRITE)
        return LogInvalid(f, "MapType %d is not a D3D11_MAP", type), E_INVALIDARG;
    if ((reads && !(desc_.CPUAccessFlags & D3D11_CPU_ACCESS_READ)) ||
        (writes && !(desc_.CPUAccessFlags & D3D11_CPU_ACCESS_WRITE)))
        return LogInvalid(f, "the texture was not created with the CPU access that MapType %d needs", type),
               E_INVALIDARG;
    if (desc_.Usage == D3D11_USAGE_DYNAMIC && type != D3D11_MAP_WRITE_DISCARD)
        return LogInvalid(f, "dynamic textures map only with WRITE_DISCARD"), E_INVALIDARG;
    if (desc_.Usage == D3D11_USAGE_STAGING && (type == D3D11_MAP_WRITE_DISCARD || type == D3D11_MAP_WRITE_NO_OVERWRITE))
        return LogInvalid(f, "staging textures map with READ, WRITE or READ_WRITE"), E_INVALIDARG;
    mapType_[subresource] = type;
    mapped->pData = memory_[subresource].data();
    mapped->RowPitch = RowPitchOf(subresource);
    mapped->DepthPitch = DepthPitchOf(subresource);
    return S_OK;
}

void Texture2D::Unmap(uint32_t subresource) {
    if (subresource >= SubresourceCount() || !mapType_[subresource]) {
        LogInvalid("Unmap", "subresource %u is not mapped", subresource);
        return;
    }
    const int type = mapType_[subresource];
    mapType_[subresource] = 0;
    if (gl_ && type != D3D11_MAP_READ) {
        const uint32_t mip = MipOf(subresource);
        Upload(subresource, 0, 0, MipWidth(mip), MipHeight(mip), memory_[subresource].data(),
               RowPitchOf(subresource));
    }
}

}  // namespace quarvel::d3d11
