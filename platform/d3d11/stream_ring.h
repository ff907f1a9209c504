// Memory for bytes that change from draw to draw: what a discarding map hands out, and the
// constant blocks each draw reads. A discard takes a fresh slice here instead of asking GL
// for new storage, and a changed constant block is copied here and bound by range, so the
// driver is never asked to reallocate, copy or wait for a buffer in use.
//
// The store is a list of chunks, each one GL buffer mapped persistently and coherently for
// writing. Slices are handed out from the current chunk in order; a full chunk is retired
// behind a fence and used again once the GPU has passed that fence and no buffer still keeps
// its current contents in it.
#pragma once

#include <cstdint>
#include <vector>

#include "gl.h"

namespace quarvel::d3d11 {

class StreamRing {
public:
    static constexpr GLsizeiptr kChunkBytes = 4 << 20;

    struct Slice {
        GLuint buffer = 0;      // 0: no slice (the allocation failed)
        GLintptr offset = 0;
        uint8_t* data = nullptr;  // where the CPU writes the slice's bytes
        uint32_t chunk = 0;
        uint64_t epoch = 0;  // the chunk's use when the slice was handed out
    };

    StreamRing() = default;
    StreamRing(const StreamRing&) = delete;
    StreamRing& operator=(const StreamRing&) = delete;
    ~StreamRing();

    // Called with the device's GL context current.
    void Init();
    // Frees every chunk (the context is current, the device is going away).
    void Release();

    // `size` bytes at a multiple of `alignment` (a power of two). A transient slice is good
    // until its chunk is used again (Valid). A kept slice holds its chunk until Unkeep.
    Slice Allocate(GLsizeiptr size, GLsizeiptr alignment);
    void Keep(const Slice& slice);
    void Unkeep(const Slice& slice);
    // True while a slice's bytes are still there: its chunk has not been handed out again.
    bool Valid(const Slice& slice) const {
        return slice.buffer && slice.chunk < chunks_.size() && chunks_[slice.chunk].epoch == slice.epoch;
    }

    // The uniform-buffer offset alignment GL asks for.
    GLsizeiptr UniformAlignment() const { return uniformAlignment_; }
    // Bytes of GL storage in use, for the live-object summary and tests.
    GLsizeiptr Capacity() const;

private:
    struct Chunk {
        GLuint buffer = 0;
        uint8_t* data = nullptr;
        GLsizeiptr size = 0;
        uint64_t epoch = 0;
        GLsync fence = nullptr;  // set when retired
        uint32_t keeps = 0;      // kept slices in this chunk
    };

    bool Reusable(Chunk& chunk);
    bool MakeChunk(GLsizeiptr size);
    void Retire();

    std::vector<Chunk> chunks_;
    std::vector<uint32_t> retired_;  // oldest first
    uint32_t current_ = 0;
    bool hasCurrent_ = false;
    GLsizeiptr head_ = 0;
    GLsizeiptr uniformAlignment_ = 256;
};

}  // namespace quarvel::d3d11
