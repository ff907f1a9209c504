// Moving bytes: maps, UpdateSubresource, copies between resources, and clears.
#include <algorithm>
#include <cstring>
#include <vector>

#include "context.h"
#include "device.h"
#include "log.h"

namespace quarvel::d3d11 {
namespace {

Buffer* AsBuffer(ID3D11Resource* resource) { return resource ? dynamic_cast<Buffer*>(resource) : nullptr; }

bool SameFamily(DXGI_FORMAT a, DXGI_FORMAT b) {
    if (a == b) return true;
    const FormatInfo* fa = GetFormatInfo(a);
    const FormatInfo* fb = GetFormatInfo(b);
    return fa && fb && fa->family == fb->family;
}

bool Empty(const D3D11_BOX& b) { return b.left >= b.right || b.top >= b.bottom || b.front >= b.back; }

// A buffer is one row of one slice: a box's rows and slices count as much as its bytes.
D3D11_BOX BufferBox(const D3D11_BOX* box, UINT byteWidth) { return box ? *box : D3D11_BOX{0, 0, 0, byteWidth, 1, 1}; }
bool PastBuffer(const D3D11_BOX& b, UINT byteWidth) { return b.right > byteWidth || b.bottom > 1 || b.back > 1; }

}  // namespace

HRESULT Context::Map(ID3D11Resource* resource, UINT subresource, D3D11_MAP type, UINT flags,
                     D3D11_MAPPED_SUBRESOURCE* mapped) {
    const char* f = "Map";
    if (!mapped) return LogInvalid(f, "pMappedResource is null"), E_INVALIDARG;
    *mapped = {};
    if (!resource) return LogFault(f, "pResource is null"), E_INVALIDARG;
    if (flags & ~static_cast<UINT>(D3D11_MAP_FLAG_DO_NOT_WAIT))
        return LogInvalid(f, "MapFlags 0x%x has unknown flags", flags), E_INVALIDARG;
    if ((flags & D3D11_MAP_FLAG_DO_NOT_WAIT) && (type == D3D11_MAP_WRITE_DISCARD || type == D3D11_MAP_WRITE_NO_OVERWRITE))
        return LogInvalid(f, "DO_NOT_WAIT cannot be combined with WRITE_DISCARD or WRITE_NO_OVERWRITE"), E_INVALIDARG;
    device_->MakeCurrent();
    if (Buffer* buffer = AsBuffer(resource)) {
        if (subresource != 0) return LogInvalid(f, "a buffer has only subresource 0"), E_INVALIDARG;
        return buffer->Map(type, mapped);
    }
    if (Texture2D* texture = AsTexture2D(resource)) return texture->Map(subresource, type, mapped);
    return LogInvalid(f, "pResource is null or not a resource of this device"), E_INVALIDARG;
}

void Context::Unmap(ID3D11Resource* resource, UINT subresource) {
    if (!resource) return LogFault("Unmap", "pResource is null");
    device_->MakeCurrent();
    if (Buffer* buffer = AsBuffer(resource)) {
        buffer->Unmap();
        return;
    }
    if (Texture2D* texture = AsTexture2D(resource)) {
        texture->Unmap(subresource);
        return;
    }
    LogInvalid("Unmap", "pResource is null or not a resource of this device");
}

void Context::UpdateSubresource(ID3D11Resource* dst, UINT subresource, const D3D11_BOX* box, const void* data,
                                UINT rowPitch, UINT) {
    const char* f = "UpdateSubresource";
    if (!dst) return LogFault(f, "pDstResource is null");
    if (!data) return LogInvalid(f, "pSrcData is null");
    device_->MakeCurrent();
    if (Buffer* buffer = AsBuffer(dst)) {
        const D3D11_BUFFER_DESC& d = buffer->Desc();
        if (d.Usage == D3D11_USAGE_DYNAMIC || d.Usage == D3D11_USAGE_IMMUTABLE)
            return LogInvalid(f, "dynamic and immutable buffers cannot be updated this way (Map dynamic ones)");
        if (subresource != 0) return LogInvalid(f, "a buffer has only subresource 0");
        const D3D11_BOX b = BufferBox(box, d.ByteWidth);
        if (Empty(b)) return;  // an empty box changes nothing
        if (PastBuffer(b, d.ByteWidth))
            return LogInvalid(f, "the box ends at byte %u of a %u-byte buffer, or past its one row", b.right,
                              d.ByteWidth);
        buffer->Write(b.left, data, b.right - b.left);
        return;
    }
    Texture2D* texture = AsTexture2D(dst);
    if (!texture) return LogInvalid(f, "pDstResource is null or not a resource of this device");
    const D3D11_TEXTURE2D_DESC& d = texture->Desc();
    if (d.Usage == D3D11_USAGE_DYNAMIC || d.Usage == D3D11_USAGE_IMMUTABLE)
        return LogInvalid(f, "dynamic and immutable textures cannot be updated this way");
    if (d.BindFlags & D3D11_BIND_DEPTH_STENCIL) return LogInvalid(f, "depth-stencil textures cannot be updated");
    if (subresource >= texture->SubresourceCount()) return LogInvalid(f, "DstSubresource %u is out of range", subresource);
    const uint32_t mip = texture->MipOf(subresource);
    const uint32_t w = texture->MipWidth(mip), h = texture->MipHeight(mip);
    D3D11_BOX b = box ? *box : D3D11_BOX{0, 0, 0, w, h, 1};
    if (Empty(b)) return;
    if (b.right > w || b.bottom > h || b.front != 0 || b.back != 1)
        return LogInvalid(f, "the box (%u,%u)-(%u,%u) is outside the %u x %u subresource", b.left, b.top, b.right,
                          b.bottom, w, h);
    const uint32_t block = texture->Format().BlockSize();
    if (block > 1 && (b.left % block || b.top % block || (b.right % block && b.right != w) ||
                      (b.bottom % block && b.bottom != h)))
        return LogInvalid(f, "a box in a block-compressed texture must be aligned to 4x4 blocks");
    texture->Upload(subresource, b.left, b.top, b.right - b.left, b.bottom - b.top, data, rowPitch);
}

void Context::CopyTextureRegion(Texture2D* dst, uint32_t dstSub, uint32_t x, uint32_t y, Texture2D* src,
                                uint32_t srcSub, const D3D11_BOX& box) {
    const uint32_t w = box.right - box.left, h = box.bottom - box.top;
    const FormatInfo& format = src->Format();
    if (dst->GlTexture() && src->GlTexture()) {
        glCopyImageSubData(src->GlTexture(), src->GlTarget(), src->MipOf(srcSub), box.left, box.top,
                           src->LayerOf(srcSub), dst->GlTexture(), dst->GlTarget(), dst->MipOf(dstSub), x, y,
                           dst->LayerOf(dstSub), w, h, 1);
        return;
    }
    // At least one side lives in memory. A staging source is read where it lies; a staging
    // destination takes only the box, read back straight into its memory.
    const uint32_t block = format.BlockSize();
    if (!src->GlTexture()) {
        const uint32_t pitch = src->RowPitchOf(srcSub);
        dst->Upload(dstSub, x, y, w, h, src->Memory(srcSub) + (box.top / block) * pitch + (box.left / block) * format.bytes,
                    pitch);
        return;
    }
    if (!dst->GlTexture()) {
        const uint32_t pitch = dst->RowPitchOf(dstSub);
        uint8_t* at = dst->Memory(dstSub) + (y / block) * pitch + (x / block) * dst->Format().bytes;
        if (dst->Format().bytes == format.bytes && src->DownloadRegion(srcSub, box.left, box.top, w, h, at, pitch)) return;
    }
    copyScratch_.resize(src->DepthPitchOf(srcSub));
    src->Download(srcSub, copyScratch_.data());
    const uint32_t pitch = src->RowPitchOf(srcSub);
    dst->Upload(dstSub, x, y, w, h, copyScratch_.data() + (box.top / block) * pitch + (box.left / block) * format.bytes,
                pitch);
}

void Context::CopyResource(ID3D11Resource* dstResource, ID3D11Resource* srcResource) {
    const char* f = "CopyResource";
    if (!dstResource || !srcResource || dstResource == srcResource)
        return LogInvalid(f, "the source and destination must be two different resources");
    device_->MakeCurrent();
    Buffer* dstBuffer = AsBuffer(dstResource);
    Buffer* srcBuffer = AsBuffer(srcResource);
    if (dstBuffer || srcBuffer) {
        if (!dstBuffer || !srcBuffer) return LogInvalid(f, "a buffer can only be copied to a buffer");
        if (dstBuffer->Desc().ByteWidth != srcBuffer->Desc().ByteWidth)
            return LogInvalid(f, "the buffers differ in size");
        if (dstBuffer->Desc().Usage == D3D11_USAGE_IMMUTABLE) return LogInvalid(f, "the destination is immutable");
        dstBuffer->CopyFrom(*srcBuffer, 0, 0, srcBuffer->Desc().ByteWidth, copyScratch_);
        return;
    }
    Texture2D* dst = AsTexture2D(dstResource);
    Texture2D* src = AsTexture2D(srcResource);
    if (!dst || !src) return LogInvalid(f, "both resources must be 2D textures or buffers of this device");
    const D3D11_TEXTURE2D_DESC& dd = dst->Desc();
    const D3D11_TEXTURE2D_DESC& sd = src->Desc();
    if (dd.Width != sd.Width || dd.Height != sd.Height || dd.MipLevels != sd.MipLevels || dd.ArraySize != sd.ArraySize)
        return LogInvalid(f, "the textures differ in size, mip levels or slices");
    if (!SameFamily(dd.Format, sd.Format)) return LogInvalid(f, "the textures' formats are not in one family");
    if (dd.Usage == D3D11_USAGE_IMMUTABLE) return LogInvalid(f, "the destination is immutable");
    for (uint32_t i = 0; i < src->SubresourceCount(); ++i) {
        const uint32_t mip = src->MipOf(i);
        CopyTextureRegion(dst, i, 0, 0, src, i, D3D11_BOX{0, 0, 0, src->MipWidth(mip), src->MipHeight(mip), 1});
    }
}

void Context::CopySubresourceRegion(ID3D11Resource* dstResource, UINT dstSub, UINT dstX, UINT dstY, UINT dstZ,
                                    ID3D11Resource* srcResource, UINT srcSub, const D3D11_BOX* srcBox) {
    const char* f = "CopySubresourceRegion";
    if (!dstResource || !srcResource) return LogInvalid(f, "a resource is null");
    device_->MakeCurrent();
    Buffer* dstBuffer = AsBuffer(dstResource);
    Buffer* srcBuffer = AsBuffer(srcResource);
    if (dstBuffer || srcBuffer) {
        if (!dstBuffer || !srcBuffer || dstSub || srcSub) return LogInvalid(f, "buffers copy only to buffers");
        if (dstBuffer->Desc().Usage == D3D11_USAGE_IMMUTABLE) return LogInvalid(f, "the destination is immutable");
        const D3D11_BOX b = BufferBox(srcBox, srcBuffer->Desc().ByteWidth);
        if (Empty(b)) return;
        if (PastBuffer(b, srcBuffer->Desc().ByteWidth) || dstY || dstZ ||
            uint64_t(dstX) + (b.right - b.left) > dstBuffer->Desc().ByteWidth)
            return LogInvalid(f, "the byte range is outside a buffer");
        dstBuffer->CopyFrom(*srcBuffer, b.left, dstX, b.right - b.left, copyScratch_);
        return;
    }
    Texture2D* dst = AsTexture2D(dstResource);
    Texture2D* src = AsTexture2D(srcResource);
    if (!dst || !src) return LogInvalid(f, "both resources must be 2D textures or buffers of this device");
    if (dstSub >= dst->SubresourceCount() || srcSub >= src->SubresourceCount())
        return LogInvalid(f, "a subresource index is out of range");
    if (!SameFamily(dst->Desc().Format, src->Desc().Format))
        return LogInvalid(f, "the textures' formats are not in one family");
    const uint32_t sw = src->MipWidth(src->MipOf(srcSub)), sh = src->MipHeight(src->MipOf(srcSub));
    D3D11_BOX box = srcBox ? *srcBox : D3D11_BOX{0, 0, 0, sw, sh, 1};
    if (Empty(box)) return;
    const uint32_t dw = dst->MipWidth(dst->MipOf(dstSub)), dh = dst->MipHeight(dst->MipOf(dstSub));
    if (dst->Desc().Usage == D3D11_USAGE_IMMUTABLE) return LogInvalid(f, "the destination is immutable");
    if (box.right > sw || box.bottom > sh || box.back > 1 || dstZ != 0 || uint64_t(dstX) + (box.right - box.left) > dw ||
        uint64_t(dstY) + (box.bottom - box.top) > dh)
        return LogInvalid(f, "the region is outside a subresource");
    CopyTextureRegion(dst, dstSub, dstX, dstY, src, srcSub, box);
}

void Context::ClearRenderTargetView(ID3D11RenderTargetView* view, const FLOAT color[4]) {
    auto* rtv = static_cast<RenderTargetView*>(view);
    if (!rtv || !color) return;
    device_->MakeCurrent();
    RenderTargetView* targets[kTargets] = {rtv};
    const GLuint framebuffer = device_->Framebuffers().Get(targets, nullptr);
    if (!framebuffer) return;
    GlState& gl = device_->Gl();
    // Clears ignore the write mask and the scissor rectangle.
    const uint8_t mask = gl.ColorMaskOf(0);
    const bool scissor = gl.IsEnabled(GL_SCISSOR_TEST);
    gl.ColorMask(0, 0xF);
    gl.Enable(GL_SCISSOR_TEST, false);
    const FormatInfo& format = rtv->ViewFormat();
    if (format.Has(kFormatUint)) {
        const GLuint values[4] = {GLuint(color[0]), GLuint(color[1]), GLuint(color[2]), GLuint(color[3])};
        glClearNamedFramebufferuiv(framebuffer, GL_COLOR, 0, values);
    } else if (format.Has(kFormatSint)) {
        const GLint values[4] = {GLint(color[0]), GLint(color[1]), GLint(color[2]), GLint(color[3])};
        glClearNamedFramebufferiv(framebuffer, GL_COLOR, 0, values);
    } else {
        glClearNamedFramebufferfv(framebuffer, GL_COLOR, 0, color);
    }
    gl.ColorMask(0, mask);
    gl.Enable(GL_SCISSOR_TEST, scissor);
}

void Context::ClearDepthStencilView(ID3D11DepthStencilView* view, UINT flags, FLOAT depth, UINT8 stencil) {
    auto* dsv = static_cast<DepthStencilView*>(view);
    if (!dsv) return;
    if (flags & ~static_cast<UINT>(D3D11_CLEAR_DEPTH | D3D11_CLEAR_STENCIL))
        return LogInvalid("ClearDepthStencilView", "ClearFlags 0x%x has unknown flags", flags);
    if ((flags & D3D11_CLEAR_DEPTH) && !(depth >= 0.0f && depth <= 1.0f))
        return LogInvalid("ClearDepthStencilView", "Depth %g is outside 0 to 1", depth);
    device_->MakeCurrent();
    RenderTargetView* targets[kTargets] = {};
    const GLuint framebuffer = device_->Framebuffers().Get(targets, dsv);
    if (!framebuffer) return;
    GlState& gl = device_->Gl();
    const bool clearDepth = flags & D3D11_CLEAR_DEPTH;
    const bool clearStencil = (flags & D3D11_CLEAR_STENCIL) && dsv->HasStencil();
    if (!clearDepth && !clearStencil) return;
    const bool depthMask = gl.DepthMaskOf();
    const GLuint stencilMask = gl.StencilWriteMask(0);
    const bool scissor = gl.IsEnabled(GL_SCISSOR_TEST);
    gl.DepthMask(true);
    gl.StencilMask(GL_FRONT, 0xFF);
    gl.Enable(GL_SCISSOR_TEST, false);
    if (clearDepth && clearStencil) {
        glClearNamedFramebufferfi(framebuffer, GL_DEPTH_STENCIL, 0, depth, stencil);
    } else if (clearDepth) {
        glClearNamedFramebufferfv(framebuffer, GL_DEPTH, 0, &depth);
    } else {
        const GLint value = stencil;
        glClearNamedFramebufferiv(framebuffer, GL_STENCIL, 0, &value);
    }
    gl.DepthMask(depthMask);
    gl.StencilMask(GL_FRONT, stencilMask);
    gl.Enable(GL_SCISSOR_TEST, scissor);
}

void Context::GenerateMips(ID3D11ShaderResourceView* view) {
    auto* srv = static_cast<ShaderResourceView*>(view);
    if (!srv) return;
    if (!(srv->Texture()->Desc().MiscFlags & D3D11_RESOURCE_MISC_GENERATE_MIPS))
        return LogInvalid("GenerateMips", "the texture was not created with D3D11_RESOURCE_MISC_GENERATE_MIPS");
    device_->MakeCurrent();
    glGenerateTextureMipmap(srv->GlTexture());
}

}  // namespace quarvel::d3d11
