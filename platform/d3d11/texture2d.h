// ID3D11Texture2D on an immutable-storage GL texture (2D, 2D array, cube or cube array).
// Rows are stored top row first, as Direct3D stores them; rendering keeps that order because
// the device's clip control puts clip-space y = +1 on row 0. Staging textures live in memory
// only; dynamic ones keep a memory copy that an unmap uploads.
#pragma once

#include <cstdint>
#include <vector>

#include "com_object.h"
#include "formats.h"
#include "gl.h"

namespace quarvel::d3d11 {

class Texture2D final : public DeviceChild<ID3D11Texture2D> {
public:
    static HRESULT Create(Device* device, const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                          ID3D11Texture2D** out);
    // As Create, for the swap chain's buffers (validated the same way).
    static HRESULT CreateInternal(Device* device, const D3D11_TEXTURE2D_DESC& desc, Texture2D** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return QueryInterfaceFor<ID3D11Texture2D, ID3D11Resource, ID3D11DeviceChild, IUnknown>(this, riid, object);
    }
    void STDMETHODCALLTYPE GetType(D3D11_RESOURCE_DIMENSION* dimension) override {
        if (dimension) *dimension = D3D11_RESOURCE_DIMENSION_TEXTURE2D;
    }
    void STDMETHODCALLTYPE SetEvictionPriority(UINT priority) override { evictionPriority_ = priority; }
    UINT STDMETHODCALLTYPE GetEvictionPriority() override { return evictionPriority_; }
    void STDMETHODCALLTYPE GetDesc(D3D11_TEXTURE2D_DESC* desc) override {
        if (desc) *desc = desc_;
    }

    const D3D11_TEXTURE2D_DESC& Desc() const { return desc_; }
    const FormatInfo& Format() const { return *format_; }
    GLuint GlTexture() const { return gl_; }
    GLenum GlTarget() const { return target_; }
    GLenum StorageFormat() const { return storage_; }
    bool IsDepthStorage() const;
    bool IsStaging() const { return desc_.Usage == D3D11_USAGE_STAGING; }
    bool HasMemoryCopy() const { return !memory_.empty(); }

    uint32_t SubresourceCount() const { return desc_.MipLevels * desc_.ArraySize; }
    uint32_t MipWidth(uint32_t mip) const;
    uint32_t MipHeight(uint32_t mip) const;
    uint32_t MipOf(uint32_t subresource) const { return subresource % desc_.MipLevels; }
    uint32_t LayerOf(uint32_t subresource) const { return subresource / desc_.MipLevels; }
    // Tight pitches of a subresource's memory copy.
    uint32_t RowPitchOf(uint32_t subresource) const;
    uint32_t DepthPitchOf(uint32_t subresource) const;

    // Writes a region of a subresource from memory laid out with `rowPitch` (Direct3D's
    // layout; depth-stencil words are converted). Into the GL texture, or the memory copy
    // of a staging texture.
    void Upload(uint32_t subresource, uint32_t x, uint32_t y, uint32_t width, uint32_t height, const void* data,
                uint32_t rowPitch);
    // Reads a whole subresource (from GL, or the memory copy of a staging texture) into
    // `out`, which holds DepthPitchOf(subresource) bytes, in Direct3D's layout.
    void Download(uint32_t subresource, uint8_t* out);
    // Reads a region of a GL subresource into memory laid out with `rowPitch`. False, reading
    // nothing, where only whole subresources can be read (block-compressed and depth-stencil).
    bool DownloadRegion(uint32_t subresource, uint32_t x, uint32_t y, uint32_t width, uint32_t height, uint8_t* out,
                        uint32_t rowPitch);
    uint8_t* Memory(uint32_t subresource) { return memory_[subresource].data(); }

    HRESULT Map(uint32_t subresource, D3D11_MAP type, D3D11_MAPPED_SUBRESOURCE* mapped);
    void Unmap(uint32_t subresource);

private:
    explicit Texture2D(Device* device) : DeviceChild(device) {}
    ~Texture2D() override;
    static HRESULT Make(Device* device, const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                        Texture2D** out, bool validateOnly);

    D3D11_TEXTURE2D_DESC desc_{};
    const FormatInfo* format_ = nullptr;
    UINT evictionPriority_ = 0;
    GLuint gl_ = 0;
    GLenum target_ = GL_TEXTURE_2D;
    GLenum storage_ = 0;
    std::vector<std::vector<uint8_t>> memory_;  // per subresource, for staging and dynamic
    std::vector<int> mapType_;                 // 0 when the subresource is not mapped
};

}  // namespace quarvel::d3d11
