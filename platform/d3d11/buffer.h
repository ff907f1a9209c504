// ID3D11Buffer on a GL buffer object. Constant, dynamic and staging buffers keep a copy of
// their bytes in memory: constant buffers because their Direct3D packing must be rewritten
// into std140 when a block's layout differs, dynamic ones because a discarding map hands
// out memory and the unmap orphans the GL storage (each draw keeps the data it was given),
// staging ones because they never leave the CPU.
#pragma once

#include <cstdint>
#include <vector>

#include "com_object.h"
#include "gl.h"

namespace quarvel::hlsl {
struct ConstantBlock;
}

namespace quarvel::d3d11 {

class Buffer final : public DeviceChild<ID3D11Buffer> {
public:
    static HRESULT Create(Device* device, const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                          ID3D11Buffer** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return QueryInterfaceFor<ID3D11Buffer, ID3D11Resource, ID3D11DeviceChild, IUnknown>(this, riid, object);
    }
    void STDMETHODCALLTYPE GetType(D3D11_RESOURCE_DIMENSION* dimension) override {
        if (dimension) *dimension = D3D11_RESOURCE_DIMENSION_BUFFER;
    }
    void STDMETHODCALLTYPE SetEvictionPriority(UINT priority) override { evictionPriority_ = priority; }
    UINT STDMETHODCALLTYPE GetEvictionPriority() override { return evictionPriority_; }
    void STDMETHODCALLTYPE GetDesc(D3D11_BUFFER_DESC* desc) override {
        if (desc) *desc = desc_;
    }

    const D3D11_BUFFER_DESC& Desc() const { return desc_; }
    // The GL buffer with current contents (vertex, index and constant use); 0 for staging.
    GLuint GlBuffer();

    // Writes `size` bytes at `offset` (UpdateSubresource, CopyResource into a buffer).
    void Write(uint32_t offset, const void* data, uint32_t size);
    // Reads the whole buffer into `out` (CopyResource out of a buffer).
    void Read(std::vector<uint8_t>& out);

    HRESULT Map(D3D11_MAP type, D3D11_MAPPED_SUBRESOURCE* mapped);
    void Unmap();
    bool IsMapped() const { return mapped_; }

    // The GL buffer to bind for a constant block: this buffer itself when its bytes can be
    // read as they are, otherwise a copy repacked to the block's std140 layout (and padded
    // to the block's size), cached per layout and rebuilt only after the contents change.
    GLuint UniformSource(const hlsl::ConstantBlock& block, uint32_t layoutId);

private:
    explicit Buffer(Device* device) : DeviceChild(device) {}
    ~Buffer() override;

    D3D11_BUFFER_DESC desc_{};
    UINT evictionPriority_ = 0;
    GLuint gl_ = 0;
    GLenum usage_ = GL_STATIC_DRAW;
    std::vector<uint8_t> shadow_;  // empty when the buffer has no memory copy
    bool glStale_ = false;         // shadow newer than the GL buffer
    bool mapped_ = false;
    D3D11_MAP mapType_ = D3D11_MAP_READ;
    uint64_t version_ = 0;

    struct Repacked {
        uint32_t layoutId;
        GLuint gl;
        uint64_t version;
    };
    std::vector<Repacked> repacked_;
};

}  // namespace quarvel::d3d11
