// ID3D11Buffer. Where the bytes live depends on the usage:
// - default and immutable vertex and index buffers: a GL buffer of their own;
// - dynamic buffers: a slice of the device's stream ring, a fresh one at every discarding
//   map, so a map never waits for or copies storage a draw still reads; contents that stay
//   while the ring wants their chunk back move to storage of the buffer's own;
// - constant buffers: a copy in memory, since their Direct3D packing must be rewritten into
//   std140 when a block's layout differs; a draw copies a changed block into the stream ring
//   once and binds that range until the bytes change again;
// - dynamic index buffers: a copy in memory as well as the slice, since the indices are
//   measured on the CPU and the ring's mapping is for writing only;
// - staging buffers: memory only, they never leave the CPU.
#pragma once

#include <cstdint>
#include <vector>

#include "com_object.h"
#include "gl.h"
#include "stream_ring.h"

namespace quarvel::hlsl {
struct ConstantBlock;
}

namespace quarvel::d3d11 {

// A range of GL storage: what a draw binds.
struct GlRange {
    GLuint buffer = 0;
    GLintptr offset = 0;
};

class Buffer final : public DeviceChild<ID3D11Buffer>, private StreamRing::Keeper {
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
    // The GL storage holding the current contents, for vertex and index use; {0, 0} for
    // constant and staging buffers.
    GlRange Source() const {
        return slice_.buffer ? GlRange{slice_.buffer, slice_.offset} : GlRange{gl_, 0};
    }
    // Changes with every write, map or update of the contents.
    uint64_t Version() const { return version_; }

    // Writes `size` bytes at `offset` (UpdateSubresource). A write that finds no storage is
    // dropped whole and logged.
    void Write(uint32_t offset, const void* data, uint32_t size);
    // Copies `size` bytes from `source` at `from` to `to` (CopyResource, CopySubresourceRegion):
    // on the GPU where both sides are GL storage; `scratch` carries bytes that must pass
    // through memory.
    void CopyFrom(Buffer& source, uint32_t from, uint32_t to, uint32_t size, std::vector<uint8_t>& scratch);
    // The storage a draw reads, marked as read by the next command.
    GlRange SourceForDraw();

    HRESULT Map(D3D11_MAP type, D3D11_MAPPED_SUBRESOURCE* mapped);
    void Unmap();
    bool IsMapped() const { return mapped_; }

    // The range to bind for a constant block: the buffer's own slice when its bytes can be
    // read as they are, otherwise a copy in the stream ring, repacked to the block's std140
    // layout and padded to its size, made once per layout and version. {0, 0} when there is
    // no storage to be had.
    GlRange UniformSource(const hlsl::ConstantBlock& block, uint32_t layoutId);

    // For index buffers: no index in the buffer, read as 16 or as 32 bits, is above this
    // (an upper bound after partial writes and copies).
    uint32_t IndexBound(bool wide);
    // The largest index among `count` indices from byte `offset`, read back from the buffer
    // once per version and range.
    uint32_t MaxIndex(uint64_t offset, uint32_t count, bool wide);
    // The contents followed by zeros up to `bytes` (more than ByteWidth): what Direct3D reads
    // for vertices and indices past the end of the buffer. Made once per version and size.
    GlRange ZeroPadded(GLsizeiptr bytes);

private:
    explicit Buffer(Device* device) : DeviceChild(device) {}
    ~Buffer() override;

    bool IsDynamic() const { return desc_.Usage == D3D11_USAGE_DYNAMIC; }
    // Dynamic buffers other than constant buffers live in the ring.
    bool Streamed() const { return IsDynamic() && !(desc_.BindFlags & D3D11_BIND_CONSTANT_BUFFER); }
    // A fresh ring slice for the whole buffer, kept until the next one replaces it.
    bool NewSlice();
    // A fresh slice holding the current contents except [offset, offset + size), which the
    // caller fills; copied on the GPU, or from the memory copy.
    bool NewSliceExcept(uint32_t offset, uint32_t size);
    void MoveOut() override;
    void DeleteGl(GLuint& name);
    void NoteIndices(const uint8_t* bytes, uint32_t offset, uint32_t size, bool whole);
    void NoteCopiedIndices(Buffer& source, uint32_t from, uint32_t to, uint32_t size);

    D3D11_BUFFER_DESC desc_{};
    UINT evictionPriority_ = 0;
    GLuint gl_ = 0;                 // own storage (default and immutable vertex and index buffers,
                                    // dynamic contents moved out of the ring)
    StreamRing::Slice slice_;       // dynamic buffers: the current slice, unless moved out
    std::vector<uint8_t> shadow_;   // constant, staging and dynamic index buffers
    bool mapped_ = false;
    bool renewing_ = false;  // taking a new slice: not the time to move the old one out
    D3D11_MAP mapType_ = D3D11_MAP_READ;
    uint64_t version_ = 0;
    uint32_t indexBound16_ = 0, indexBound32_ = 0;
    uint64_t boundVersion_[2] = {~0ull, ~0ull};  // of the bounds measured on the memory copy

    struct MaxIndexQuery {
        uint64_t version = ~0ull, offset = 0;
        uint32_t count = 0, max = 0;
        bool wide = false;
    } maxIndex_;

    struct Uploaded {
        uint32_t layoutId;
        uint64_t version;
        StreamRing::Slice slice;
    };
    std::vector<Uploaded> uploads_;

    GLuint padded_ = 0;
    GLsizeiptr paddedBytes_ = 0;
    uint64_t paddedVersion_ = ~0ull;
};

}  // namespace quarvel::d3d11
