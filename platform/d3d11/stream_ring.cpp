#include "stream_ring.h"

#include <algorithm>

#include "log.h"

namespace quarvel::d3d11 {
namespace {

// Past this much storage a full ring waits for the GPU rather than growing further.
constexpr GLsizeiptr kGrowthLimit = GLsizeiptr(256) << 20;

}  // namespace

StreamRing::~StreamRing() = default;

void StreamRing::Init() {
    GLint alignment = 0;
    glGetIntegerv(GL_UNIFORM_BUFFER_OFFSET_ALIGNMENT, &alignment);
    uniformAlignment_ = std::max<GLsizeiptr>(alignment, 16);
}

void StreamRing::Release() {
    for (Chunk& chunk : chunks_) {
        if (chunk.fence) glDeleteSync(chunk.fence);
        if (chunk.buffer) {
            glUnmapNamedBuffer(chunk.buffer);
            glDeleteBuffers(1, &chunk.buffer);
        }
    }
    chunks_.clear();
    retired_.clear();
    hasCurrent_ = false;
    head_ = 0;
}

GLsizeiptr StreamRing::Capacity() const {
    GLsizeiptr total = 0;
    for (const Chunk& chunk : chunks_) total += chunk.size;
    return total;
}

bool StreamRing::MakeChunk(GLsizeiptr size) {
    Chunk chunk;
    chunk.size = size;
    const GLbitfield flags = GL_MAP_WRITE_BIT | GL_MAP_PERSISTENT_BIT | GL_MAP_COHERENT_BIT;
    while (glGetError() != GL_NO_ERROR) {
    }
    glCreateBuffers(1, &chunk.buffer);
    glNamedBufferStorage(chunk.buffer, size, nullptr, flags);
    chunk.data = static_cast<uint8_t*>(glMapNamedBufferRange(chunk.buffer, 0, size, flags));
    if (glGetError() != GL_NO_ERROR || !chunk.data) {
        LogError("Map", "no GL storage for %lld bytes of streamed data", static_cast<long long>(size));
        glDeleteBuffers(1, &chunk.buffer);
        return false;
    }
    chunks_.push_back(chunk);
    current_ = static_cast<uint32_t>(chunks_.size() - 1);
    return true;
}

bool StreamRing::Reusable(Chunk& chunk) {
    if (chunk.keeps) return false;
    GLint status = GL_UNSIGNALED;
    glGetSynciv(chunk.fence, GL_SYNC_STATUS, 1, nullptr, &status);
    return status == GL_SIGNALED;
}

void StreamRing::Retire() {
    Chunk& chunk = chunks_[current_];
    // The fence passes once every draw that read this chunk so far has finished.
    chunk.fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    retired_.push_back(current_);
    hasCurrent_ = false;
}

StreamRing::Slice StreamRing::Allocate(GLsizeiptr size, GLsizeiptr alignment) {
    size = std::max<GLsizeiptr>(size, 1);
    if (hasCurrent_) {
        const GLsizeiptr at = (head_ + alignment - 1) & ~(alignment - 1);
        if (at + size > chunks_[current_].size) {
            Retire();
        } else {
            head_ = at + size;
            Chunk& chunk = chunks_[current_];
            return {chunk.buffer, at, chunk.data + at, current_, chunk.epoch};
        }
    }

    // The oldest retired chunk the GPU is done with, else a new one, else (past the limit)
    // wait for the oldest.
    auto fits = [&](uint32_t index) { return chunks_[index].size >= size; };
    auto found = retired_.end();
    for (auto it = retired_.begin(); it != retired_.end(); ++it)
        if (fits(*it) && Reusable(chunks_[*it])) {
            found = it;
            break;
        }
    if (found == retired_.end() && Capacity() >= kGrowthLimit) {
        for (auto it = retired_.begin(); it != retired_.end(); ++it) {
            Chunk& chunk = chunks_[*it];
            if (!fits(*it) || chunk.keeps) continue;
            glClientWaitSync(chunk.fence, GL_SYNC_FLUSH_COMMANDS_BIT, GLuint64(10) * 1000 * 1000 * 1000);
            found = it;
            break;
        }
    }
    if (found != retired_.end()) {
        current_ = *found;
        retired_.erase(found);
        Chunk& chunk = chunks_[current_];
        glDeleteSync(chunk.fence);
        chunk.fence = nullptr;
        ++chunk.epoch;
    } else if (!MakeChunk(std::max(kChunkBytes, size))) {
        return {};
    }
    hasCurrent_ = true;
    head_ = size;
    Chunk& chunk = chunks_[current_];
    return {chunk.buffer, 0, chunk.data, current_, chunk.epoch};
}

void StreamRing::Keep(const Slice& slice) {
    if (slice.buffer) ++chunks_[slice.chunk].keeps;
}

void StreamRing::Unkeep(const Slice& slice) {
    if (slice.buffer && chunks_[slice.chunk].keeps) --chunks_[slice.chunk].keeps;
}

}  // namespace quarvel::d3d11
