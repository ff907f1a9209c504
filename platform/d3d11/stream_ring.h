// Memory for bytes that change from draw to draw: what a discarding map hands out, and the
// constant blocks each draw reads. A discard takes a fresh slice here instead of asking GL
// for new storage, and a changed constant block is copied here and bound by range, so the
// driver is never asked to reallocate, copy or wait for a buffer in use.
//
// The store is a list of chunks, each one GL buffer mapped persistently and coherently for
// writing. Slices are handed out from the current chunk in order. Every command that reads
// a chunk marks it with the number of the submission it belongs to; a fence closes each
// submission, and a full chunk is handed out again only once the fence of its last reader
// has passed and no buffer still keeps its current contents in it. Requests larger than a
// chunk get storage of their own, and chunks left unused for a while are freed.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "gl.h"

namespace quarvel::d3d11 {

class StreamRing {
public:
    static constexpr GLsizeiptr kChunkBytes = 4 << 20;
    // Submissions a free chunk may sit unused before it is given back to GL.
    static constexpr uint64_t kIdleSubmissions = 64;

    struct Slice {
        GLuint buffer = 0;      // 0: no slice (the allocation failed)
        GLintptr offset = 0;
        uint8_t* data = nullptr;  // where the CPU writes the slice's bytes (never read there)
        GLsizeiptr size = 0;
        uint32_t chunk = 0;
        uint64_t epoch = 0;  // the chunk's use when the slice was handed out
    };

    // What keeps a slice: asked to move its contents elsewhere when the chunk is wanted back.
    class Keeper {
    public:
        virtual void MoveOut() = 0;

    protected:
        ~Keeper() = default;
    };

    StreamRing() = default;
    StreamRing(const StreamRing&) = delete;
    StreamRing& operator=(const StreamRing&) = delete;
    ~StreamRing();

    // Chunk size of rings initialised from now on (0: kChunkBytes), so that tests can reach
    // reuse and growth with little data.
    static void SetChunkBytesForTesting(GLsizeiptr bytes);

    // Called with the device's GL context current.
    void Init();
    // Frees every chunk (the context is current, the device is going away).
    void Release();

    // `size` bytes at a multiple of `alignment` (a power of two). A transient slice is good
    // until its chunk is used again (Valid); whoever binds it calls Use. A kept slice holds
    // its chunk until Unkeep; its keeper may be asked to MoveOut.
    Slice Allocate(GLsizeiptr size, GLsizeiptr alignment);
    void Keep(const Slice& slice, Keeper* keeper);
    void Unkeep(const Slice& slice, Keeper* keeper);
    // The slice's chunk is read by a command issued before the next fence.
    void Use(const Slice& slice) {
        if (!slice.buffer) return;
        chunks_[slice.chunk].lastUse = serial_;
        used_ = true;
    }
    // True while a slice's bytes are still there: its chunk has not been handed out again.
    bool Valid(const Slice& slice) const {
        return slice.buffer && slice.chunk < chunks_.size() && chunks_[slice.chunk].epoch == slice.epoch;
    }

    // After a draw is issued: closes the submission when a chunk has filled since the last
    // fence. A fence placed while a draw is being prepared would not cover that draw.
    void DrawIssued() {
        if (fenceWanted_) Fence();
    }
    // Closes the submission (a flush or a present), if anything read the ring since the last.
    void Fence();
    // Waits until the GPU has passed everything issued so far; false on a timeout or failure.
    bool WaitIdle();

    // The uniform-buffer offset alignment GL asks for.
    GLsizeiptr UniformAlignment() const { return uniformAlignment_; }
    GLsizeiptr ChunkBytes() const { return chunkBytes_; }
    // Bytes of GL storage in use, for the live-object summary and tests.
    GLsizeiptr Capacity() const { return capacity_; }

private:
    struct Chunk {
        GLuint buffer = 0;  // 0: a free slot in chunks_
        uint8_t* data = nullptr;
        GLsizeiptr size = 0;
        uint64_t epoch = 0;
        uint64_t lastUse = 0;  // submission of the last command reading it
        uint64_t handedOut = 0;  // submission in which it last became current
        uint32_t keeps = 0;      // kept slices in this chunk
        GLsizeiptr keptBytes = 0;
        std::vector<Keeper*> keepers;
    };
    struct PendingFence {
        uint64_t serial;
        GLsync sync;
    };

    bool Reusable(uint32_t index) const {
        const Chunk& c = chunks_[index];
        return c.keeps == 0 && c.lastUse <= completed_;
    }
    void Poll();
    bool WaitFor(uint64_t serial);
    bool MakeChunk(GLsizeiptr size, uint32_t& index);
    void FreeChunk(uint32_t index);
    void FreeIdleChunks();
    void MoveOutSmallKeeps();
    Slice Hand(uint32_t index, GLsizeiptr at, GLsizeiptr size);
    Slice AllocateOwn(GLsizeiptr size);

    std::vector<Chunk> chunks_;
    std::vector<uint32_t> retired_;  // chunks not current, oldest first
    std::deque<PendingFence> fences_;
    uint32_t current_ = 0;
    bool hasCurrent_ = false;
    GLsizeiptr head_ = 0;
    GLsizeiptr capacity_ = 0;
    GLsizeiptr chunkBytes_ = kChunkBytes;
    GLsizeiptr uniformAlignment_ = 256;
    uint64_t serial_ = 1;     // the open submission
    uint64_t completed_ = 0;  // every submission up to this one has finished
    bool fenceWanted_ = false;
    bool used_ = false;  // something read the ring in the open submission
};

}  // namespace quarvel::d3d11
