#include "stream_ring.h"

#include <algorithm>
#include <cstdint>

#include "log.h"

namespace quarvel::d3d11 {
namespace {

// Past this many chunks (256 MiB) a full ring waits for the GPU rather than growing further.
constexpr GLsizeiptr kGrowthLimitChunks = 64;
constexpr GLuint64 kWaitNanoseconds = GLuint64(10) * 1000 * 1000 * 1000;
// A chunk kept by less than this share of its bytes is wanted back rather than a new one made.
constexpr GLsizeiptr kSmallKeepShare = 4;

GLsizeiptr chunkBytesForTesting = 0;

}  // namespace

StreamRing::~StreamRing() = default;

void StreamRing::SetChunkBytesForTesting(GLsizeiptr bytes) { chunkBytesForTesting = bytes; }

void StreamRing::Init() {
    GLint alignment = 0;
    glGetIntegerv(GL_UNIFORM_BUFFER_OFFSET_ALIGNMENT, &alignment);
    uniformAlignment_ = std::max<GLsizeiptr>(alignment, 16);
    chunkBytes_ = chunkBytesForTesting > 0 ? chunkBytesForTesting : kChunkBytes;
}

void StreamRing::Release() {
    for (uint32_t i = 0; i < chunks_.size(); ++i) FreeChunk(i);
    for (const PendingFence& f : fences_) glDeleteSync(f.sync);
    fences_.clear();
    chunks_.clear();
    retired_.clear();
    hasCurrent_ = false;
    head_ = 0;
}

bool StreamRing::MakeChunk(GLsizeiptr size, uint32_t& index) {
    if (capacity_ + size > kGrowthLimitChunks * chunkBytes_)
        LogError("Map", "streamed storage grows past %lld MiB: the GPU holds on to it, or buffers keep it",
                 static_cast<long long>((kGrowthLimitChunks * chunkBytes_) >> 20));
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
    chunk.handedOut = serial_;
    // A freed slot is used again; its epoch goes on counting so old slices stay invalid.
    auto slot = std::find_if(chunks_.begin(), chunks_.end(), [](const Chunk& c) { return c.buffer == 0; });
    if (slot == chunks_.end()) {
        chunks_.push_back(chunk);
        index = static_cast<uint32_t>(chunks_.size() - 1);
    } else {
        chunk.epoch = slot->epoch;
        *slot = chunk;
        index = static_cast<uint32_t>(slot - chunks_.begin());
    }
    capacity_ += size;
    return true;
}

void StreamRing::FreeChunk(uint32_t index) {
    Chunk& chunk = chunks_[index];
    if (!chunk.buffer) return;
    glUnmapNamedBuffer(chunk.buffer);
    glDeleteBuffers(1, &chunk.buffer);
    capacity_ -= chunk.size;
    const uint64_t epoch = chunk.epoch + 1;
    chunk = Chunk{};
    chunk.epoch = epoch;
}

void StreamRing::Poll() {
    while (!fences_.empty()) {
        GLint status = GL_UNSIGNALED;
        glGetSynciv(fences_.front().sync, GL_SYNC_STATUS, 1, nullptr, &status);
        if (status != GL_SIGNALED) return;
        completed_ = fences_.front().serial;
        glDeleteSync(fences_.front().sync);
        fences_.pop_front();
    }
}

void StreamRing::Fence() {
    fenceWanted_ = false;
    if (!used_) return;
    const GLsync sync = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (sync) {
        fences_.push_back({serial_, sync});
        // Without a flush the fence may never reach the GPU in a program that never presents.
        glFlush();
    } else {
        // No way to know when the GPU is done with these commands but to wait for all of them.
        LogError("Draw", "glFenceSync failed; streamed storage waits for the GPU instead");
        glFinish();
        for (const PendingFence& f : fences_) glDeleteSync(f.sync);
        fences_.clear();
        completed_ = serial_;
    }
    ++serial_;
    used_ = false;
    FreeIdleChunks();
}

bool StreamRing::WaitFor(uint64_t serial) {
    Poll();
    if (completed_ >= serial) return true;
    auto it = std::find_if(fences_.begin(), fences_.end(), [serial](const PendingFence& f) { return f.serial >= serial; });
    if (it == fences_.end()) return false;
    const GLenum result = glClientWaitSync(it->sync, GL_SYNC_FLUSH_COMMANDS_BIT, kWaitNanoseconds);
    if (result != GL_ALREADY_SIGNALED && result != GL_CONDITION_SATISFIED) {
        LogError("Map", "waiting for the GPU to finish with streamed storage %s; it is not reused",
                 result == GL_TIMEOUT_EXPIRED ? "timed out" : "failed");
        return false;
    }
    completed_ = it->serial;
    for (auto f = fences_.begin(); f != std::next(it); ++f) glDeleteSync(f->sync);
    fences_.erase(fences_.begin(), std::next(it));
    return true;
}

bool StreamRing::WaitIdle() {
    used_ = true;
    Fence();
    return WaitFor(serial_ - 1);
}

void StreamRing::FreeIdleChunks() {
    Poll();
    for (auto it = retired_.begin(); it != retired_.end();) {
        const Chunk& c = chunks_[*it];
        if (Reusable(*it) && std::max(c.lastUse, c.handedOut) + kIdleSubmissions < serial_) {
            FreeChunk(*it);
            it = retired_.erase(it);
        } else {
            ++it;
        }
    }
}

void StreamRing::MoveOutSmallKeeps() {
    for (uint32_t index : retired_) {
        Chunk& c = chunks_[index];
        if (!c.keeps || c.keptBytes * kSmallKeepShare > c.size) continue;
        // MoveOut unkeeps, which changes the list.
        const std::vector<Keeper*> keepers = c.keepers;
        for (Keeper* k : keepers) k->MoveOut();
    }
}

StreamRing::Slice StreamRing::Hand(uint32_t index, GLsizeiptr at, GLsizeiptr size) {
    Chunk& c = chunks_[index];
    return {c.buffer, at, c.data + at, size, index, c.epoch};
}

StreamRing::Slice StreamRing::AllocateOwn(GLsizeiptr size) {
    Poll();
    // The smallest free one of its own kind that fits without wasting more than half.
    uint32_t found = UINT32_MAX;
    for (uint32_t index : retired_) {
        const Chunk& c = chunks_[index];
        if (c.size > chunkBytes_ && c.size >= size && c.size <= 2 * size && Reusable(index) &&
            (found == UINT32_MAX || c.size < chunks_[found].size))
            found = index;
    }
    if (found != UINT32_MAX) {
        ++chunks_[found].epoch;
    } else {
        if (!MakeChunk(size, found)) return {};
        retired_.push_back(found);
    }
    Chunk& c = chunks_[found];
    c.handedOut = serial_;
    // Not handed out again before whoever asked has kept or used it.
    c.lastUse = serial_;
    used_ = true;
    return Hand(found, 0, size);
}

StreamRing::Slice StreamRing::Allocate(GLsizeiptr size, GLsizeiptr alignment) {
    size = std::max<GLsizeiptr>(size, 1);
    // A request larger than a chunk gets storage of its own; the current chunk stays.
    if (size > chunkBytes_) return AllocateOwn(size);
    uint32_t retiredNow = UINT32_MAX;
    if (hasCurrent_) {
        const GLsizeiptr at = (head_ + alignment - 1) & ~(alignment - 1);
        if (at + size <= chunks_[current_].size) {
            head_ = at + size;
            return Hand(current_, at, size);
        }
        retired_.push_back(current_);
        retiredNow = current_;
        hasCurrent_ = false;
        fenceWanted_ = true;
    }

    // The newest retired chunk the GPU is done with, so that chunks a burst added fall idle
    // and are freed; else (below the limit) a new one, else wait for the oldest one a fence
    // covers. The chunk just retired may still be read by the draw being prepared, whose
    // commands no fence covers yet.
    Poll();
    auto eligible = [&](uint32_t index) { return index != retiredNow && chunks_[index].size == chunkBytes_; };
    auto found = retired_.end();
    for (auto it = retired_.rbegin(); it != retired_.rend(); ++it)
        if (eligible(*it) && Reusable(*it)) {
            found = std::next(it).base();
            break;
        }
    auto oldest = [&](auto accept) {
        for (auto it = retired_.begin(); it != retired_.end(); ++it)
            if (eligible(*it) && accept(chunks_[*it])) return it;
        return retired_.end();
    };
    if (found == retired_.end()) {
        MoveOutSmallKeeps();
        if (capacity_ + chunkBytes_ > kGrowthLimitChunks * chunkBytes_) {
            found = oldest([&](const Chunk& c) { return c.keeps == 0 && c.lastUse < serial_; });
            if (found != retired_.end() && !WaitFor(chunks_[*found].lastUse)) found = retired_.end();
        }
    }
    if (found != retired_.end()) {
        current_ = *found;
        retired_.erase(found);
        ++chunks_[current_].epoch;
        chunks_[current_].handedOut = serial_;
    } else if (!MakeChunk(chunkBytes_, current_)) {
        return {};
    }
    hasCurrent_ = true;
    head_ = size;
    return Hand(current_, 0, size);
}

void StreamRing::Keep(const Slice& slice, Keeper* keeper) {
    if (!slice.buffer) return;
    Chunk& c = chunks_[slice.chunk];
    ++c.keeps;
    c.keptBytes += slice.size;
    if (keeper) c.keepers.push_back(keeper);
}

void StreamRing::Unkeep(const Slice& slice, Keeper* keeper) {
    if (!slice.buffer || slice.chunk >= chunks_.size()) return;
    Chunk& c = chunks_[slice.chunk];
    if (!c.keeps) return;
    --c.keeps;
    c.keptBytes -= slice.size;
    auto it = std::find(c.keepers.begin(), c.keepers.end(), keeper);
    if (it != c.keepers.end()) c.keepers.erase(it);
}

}  // namespace quarvel::d3d11
