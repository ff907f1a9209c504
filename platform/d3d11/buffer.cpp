#include "buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "context.h"
#include "device.h"
#include "hlsl/shader_blob.h"
#include "log.h"

namespace quarvel::d3d11 {
namespace {

constexpr UINT kBufferBindFlags = D3D11_BIND_VERTEX_BUFFER | D3D11_BIND_INDEX_BUFFER | D3D11_BIND_CONSTANT_BUFFER |
                                  D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_STREAM_OUTPUT |
                                  D3D11_BIND_UNORDERED_ACCESS;
constexpr UINT kMaxConstantBufferBytes = D3D11_REQ_CONSTANT_BUFFER_ELEMENT_COUNT * 16;

bool Validate(const D3D11_BUFFER_DESC& d, const D3D11_SUBRESOURCE_DATA* data) {
    const char* f = "CreateBuffer";
    if (d.ByteWidth == 0) return LogInvalid(f, "ByteWidth is 0"), false;
    if (d.Usage > D3D11_USAGE_STAGING) return LogInvalid(f, "Usage %u is not a D3D11_USAGE", d.Usage), false;
    if (d.BindFlags & ~kBufferBindFlags)
        return LogInvalid(f, "BindFlags 0x%x has flags a buffer cannot have (render target, depth stencil)",
                          d.BindFlags),
               false;
    if (d.CPUAccessFlags & ~(D3D11_CPU_ACCESS_READ | D3D11_CPU_ACCESS_WRITE))
        return LogInvalid(f, "CPUAccessFlags 0x%x has unknown flags", d.CPUAccessFlags), false;
    if (d.BindFlags & D3D11_BIND_CONSTANT_BUFFER) {
        if (d.BindFlags != D3D11_BIND_CONSTANT_BUFFER)
            return LogInvalid(f, "D3D11_BIND_CONSTANT_BUFFER cannot be combined with other bind flags"), false;
        if (d.ByteWidth % 16)
            return LogInvalid(f, "a constant buffer's ByteWidth (%u) must be a multiple of 16", d.ByteWidth), false;
        if (d.ByteWidth > kMaxConstantBufferBytes)
            return LogInvalid(f, "a constant buffer's ByteWidth (%u) exceeds %u", d.ByteWidth, kMaxConstantBufferBytes),
                   false;
    }
    switch (d.Usage) {
        case D3D11_USAGE_DEFAULT:
            if (d.CPUAccessFlags) return LogInvalid(f, "D3D11_USAGE_DEFAULT buffers have no CPU access"), false;
            break;
        case D3D11_USAGE_IMMUTABLE:
            if (d.CPUAccessFlags) return LogInvalid(f, "D3D11_USAGE_IMMUTABLE buffers have no CPU access"), false;
            if (!data) return LogInvalid(f, "D3D11_USAGE_IMMUTABLE buffers need initial data"), false;
            break;
        case D3D11_USAGE_DYNAMIC:
            if (d.CPUAccessFlags != D3D11_CPU_ACCESS_WRITE)
                return LogInvalid(f, "D3D11_USAGE_DYNAMIC buffers need exactly D3D11_CPU_ACCESS_WRITE"), false;
            if (d.BindFlags & (D3D11_BIND_STREAM_OUTPUT | D3D11_BIND_UNORDERED_ACCESS))
                return LogInvalid(f, "D3D11_USAGE_DYNAMIC buffers cannot be stream-output or unordered-access"),
                       false;
            break;
        case D3D11_USAGE_STAGING:
            if (d.BindFlags) return LogInvalid(f, "D3D11_USAGE_STAGING buffers cannot be bound (BindFlags 0)"), false;
            if (!d.CPUAccessFlags) return LogInvalid(f, "D3D11_USAGE_STAGING buffers need CPU access"), false;
            break;
    }
    if (data && !data->pSysMem) return LogInvalid(f, "pInitialData->pSysMem is null"), false;
    if ((d.MiscFlags & D3D11_RESOURCE_MISC_BUFFER_STRUCTURED) &&
        (d.StructureByteStride == 0 || d.StructureByteStride % 4 || d.ByteWidth % d.StructureByteStride))
        return LogInvalid(f, "a structured buffer needs a StructureByteStride that is a multiple of 4 and divides "
                             "ByteWidth"),
               false;
    return true;
}

}  // namespace

HRESULT Buffer::Create(Device* device, const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                       ID3D11Buffer** out) {
    if (out) *out = nullptr;
    if (!desc) return LogInvalid("CreateBuffer", "pDesc is null"), E_INVALIDARG;
    if (!Validate(*desc, data)) return E_INVALIDARG;
    if (desc->BindFlags & (D3D11_BIND_SHADER_RESOURCE | D3D11_BIND_UNORDERED_ACCESS | D3D11_BIND_STREAM_OUTPUT))
        LogUnsupported("CreateBuffer", "shader-resource, unordered-access and stream-output use of buffers (the "
                                       "buffer is created, such views and bindings are not)");
    if (desc->MiscFlags & ~(D3D11_RESOURCE_MISC_BUFFER_STRUCTURED | D3D11_RESOURCE_MISC_BUFFER_ALLOW_RAW_VIEWS))
        LogUnsupported("CreateBuffer", "MiscFlags other than structured and raw views (ignored)");
    if (!out) return S_FALSE;

    Buffer* buffer = new (std::nothrow) Buffer(device);
    if (!buffer) return E_OUTOFMEMORY;
    buffer->desc_ = *desc;
    const void* initial = data ? data->pSysMem : nullptr;
    device->MakeCurrent();
    const bool memory = desc->Usage == D3D11_USAGE_STAGING || (desc->BindFlags & D3D11_BIND_CONSTANT_BUFFER) ||
                        (desc->Usage == D3D11_USAGE_DYNAMIC && (desc->BindFlags & D3D11_BIND_INDEX_BUFFER));
    if (memory) {
        try {
            buffer->shadow_.assign(desc->ByteWidth, 0);
        } catch (const std::bad_alloc&) {
            buffer->Release();
            return E_OUTOFMEMORY;
        }
        if (initial) std::memcpy(buffer->shadow_.data(), initial, desc->ByteWidth);
    }
    if (buffer->Streamed()) {
        if (!buffer->NewSlice()) {
            buffer->Release();
            return E_OUTOFMEMORY;
        }
        // Without initial data the contents are undefined; zeros keep indices inside.
        if (initial)
            std::memcpy(buffer->slice_.data, initial, desc->ByteWidth);
        else
            std::memset(buffer->slice_.data, 0, desc->ByteWidth);
    } else if (!memory) {
        while (glGetError() != GL_NO_ERROR) {
        }
        glCreateBuffers(1, &buffer->gl_);
        glNamedBufferData(buffer->gl_, desc->ByteWidth, initial,
                          desc->Usage == D3D11_USAGE_IMMUTABLE ? GL_STATIC_DRAW : GL_DYNAMIC_DRAW);
        if (glGetError() == GL_OUT_OF_MEMORY) {
            buffer->Release();
            return E_OUTOFMEMORY;
        }
        if (initial && (desc->BindFlags & D3D11_BIND_INDEX_BUFFER))
            buffer->NoteIndices(static_cast<const uint8_t*>(initial), 0, desc->ByteWidth, true);
    }
    *out = buffer;
    return S_OK;
}

Buffer::~Buffer() {
    Owner()->MakeCurrent();
    DeleteGl(gl_);
    DeleteGl(padded_);
    Owner()->Stream().Unkeep(slice_, this);
}

void Buffer::DeleteGl(GLuint& name) {
    if (!name) return;
    Owner()->Gl().ForgetBuffer(name);
    Owner()->ImmediateContext().ForgetGlBuffer(name);
    glDeleteBuffers(1, &name);
    name = 0;
}

GlRange Buffer::SourceForDraw() {
    Owner()->Stream().Use(slice_);
    return Source();
}

bool Buffer::NewSlice() {
    StreamRing& ring = Owner()->Stream();
    renewing_ = true;
    const StreamRing::Slice slice = ring.Allocate(desc_.ByteWidth, 16);
    renewing_ = false;
    if (!slice.buffer) return false;
    ring.Keep(slice, this);
    ring.Unkeep(slice_, this);
    slice_ = slice;
    return true;
}

bool Buffer::NewSliceExcept(uint32_t offset, uint32_t size) {
    StreamRing& ring = Owner()->Stream();
    const GlRange old = Source();
    const StreamRing::Slice oldSlice = slice_;
    if (!NewSlice()) return false;
    if (!shadow_.empty()) {
        std::memcpy(slice_.data, shadow_.data(), desc_.ByteWidth);
        return true;
    }
    // The GPU copies the rest while the CPU writes the range: the two never meet.
    auto copy = [&](uint32_t begin, uint32_t end) {
        if (end > begin && old.buffer)
            glCopyNamedBufferSubData(old.buffer, slice_.buffer, old.offset + begin, slice_.offset + begin, end - begin);
    };
    copy(0, offset);
    copy(offset + size, desc_.ByteWidth);
    ring.Use(oldSlice);
    ring.Use(slice_);
    return true;
}

void Buffer::MoveOut() {
    if (!slice_.buffer || mapped_ || renewing_) return;
    if (!gl_) {
        while (glGetError() != GL_NO_ERROR) {
        }
        glCreateBuffers(1, &gl_);
        glNamedBufferStorage(gl_, desc_.ByteWidth, nullptr, 0);
        if (glGetError() != GL_NO_ERROR) return DeleteGl(gl_);
    }
    glCopyNamedBufferSubData(slice_.buffer, gl_, slice_.offset, 0, desc_.ByteWidth);
    StreamRing& ring = Owner()->Stream();
    ring.Use(slice_);
    ring.Unkeep(slice_, this);
    slice_ = {};
}

namespace {

// The largest of the indices in `bytes`, whole ones only; the strip cut reads no vertex.
uint32_t MaxOf(const uint8_t* bytes, size_t size, bool wide) {
    uint32_t max = 0;
    for (size_t at = 0; at + (wide ? 4 : 2) <= size; at += wide ? 4 : 2) {
        uint32_t v = 0;
        std::memcpy(&v, bytes + at, wide ? 4 : 2);
        if (v != (wide ? 0xFFFFFFFFu : 0xFFFFu)) max = std::max(max, v);
    }
    return max;
}

}  // namespace

void Buffer::NoteIndices(const uint8_t* bytes, uint32_t offset, uint32_t size, bool whole) {
    const uint32_t end = offset + size;
    const uint32_t at16 = (offset + 1) & ~1u, at32 = (offset + 3) & ~3u;
    const uint32_t max16 = at16 < end ? MaxOf(bytes + (at16 - offset), end - at16, false) : 0;
    const uint32_t max32 = at32 < end ? MaxOf(bytes + (at32 - offset), end - at32, true) : 0;
    if (whole) {
        indexBound16_ = max16;
        indexBound32_ = max32;
        return;
    }
    // A partial write may have replaced the largest index, so the bound only grows; an index
    // cut in two by the write's ends changed unseen.
    indexBound16_ = (offset | end) & 1u ? ~0u : std::max(indexBound16_, max16);
    indexBound32_ = (offset | end) & 3u ? ~0u : std::max(indexBound32_, max32);
}

void Buffer::NoteCopiedIndices(Buffer& source, uint32_t from, uint32_t to, uint32_t size) {
    // The copied indices are some of the source's, when they keep their boundaries.
    const bool indices = source.desc_.BindFlags & D3D11_BIND_INDEX_BUFFER;
    auto bound = [&](uint32_t current, bool wide) {
        const uint32_t unit = wide ? 4 : 2;
        if (!indices || (from | to | size) % unit) return ~0u;
        return std::max(current, source.IndexBound(wide));
    };
    indexBound16_ = bound(indexBound16_, false);
    indexBound32_ = bound(indexBound32_, true);
}

uint32_t Buffer::IndexBound(bool wide) {
    if (shadow_.empty()) return wide ? indexBound32_ : indexBound16_;
    // Measured on the memory copy when first needed after a change, at the one width asked.
    uint32_t& bound = wide ? indexBound32_ : indexBound16_;
    if (boundVersion_[wide] != version_) {
        bound = MaxOf(shadow_.data(), shadow_.size(), wide);
        boundVersion_[wide] = version_;
    }
    return bound;
}

void Buffer::Write(uint32_t offset, const void* data, uint32_t size) {
    if (Streamed()) {
        // Draws already made may still read the current slice: write into a fresh one.
        if (!NewSliceExcept(offset, size))
            return LogError("UpdateSubresource", "no streamed storage for a buffer's new contents; they are dropped");
        std::memcpy(slice_.data + offset, data, size);
        if (!shadow_.empty()) std::memmove(shadow_.data() + offset, data, size);
    } else if (!shadow_.empty()) {
        std::memmove(shadow_.data() + offset, data, size);
    } else if (gl_) {
        glNamedBufferSubData(gl_, offset, size, data);
        if (desc_.BindFlags & D3D11_BIND_INDEX_BUFFER)
            NoteIndices(static_cast<const uint8_t*>(data), offset, size, offset == 0 && size == desc_.ByteWidth);
    } else {
        return;
    }
    ++version_;
}

void Buffer::CopyFrom(Buffer& source, uint32_t from, uint32_t to, uint32_t size, std::vector<uint8_t>& scratch) {
    if (!shadow_.empty() || !source.Source().buffer) {
        if (!source.shadow_.empty()) return Write(to, source.shadow_.data() + from, size);
        scratch.resize(size);
        const GlRange r = source.Source();
        glGetNamedBufferSubData(r.buffer, r.offset + from, size, scratch.data());
        return Write(to, scratch.data(), size);
    }
    const GlRange in = source.SourceForDraw();
    if (Streamed()) {
        if (!NewSliceExcept(to, size))
            return LogError("CopyResource", "no streamed storage for a buffer's new contents; they are dropped");
        glCopyNamedBufferSubData(in.buffer, slice_.buffer, in.offset + from, slice_.offset + to, size);
    } else {
        glCopyNamedBufferSubData(in.buffer, gl_, in.offset + from, to, size);
    }
    ++version_;
    if (desc_.BindFlags & D3D11_BIND_INDEX_BUFFER) NoteCopiedIndices(source, from, to, size);
}

HRESULT Buffer::Map(D3D11_MAP type, D3D11_MAPPED_SUBRESOURCE* mapped) {
    const char* f = "Map";
    if (mapped_) return LogInvalid(f, "the buffer is already mapped"), E_INVALIDARG;
    const bool reads = type == D3D11_MAP_READ || type == D3D11_MAP_READ_WRITE;
    const bool writes = type != D3D11_MAP_READ;
    if (type < D3D11_MAP_READ || type > D3D11_MAP_WRITE_NO_OVERWRITE)
        return LogInvalid(f, "MapType %d is not a D3D11_MAP", type), E_INVALIDARG;
    if ((reads && !(desc_.CPUAccessFlags & D3D11_CPU_ACCESS_READ)) ||
        (writes && !(desc_.CPUAccessFlags & D3D11_CPU_ACCESS_WRITE)))
        return LogInvalid(f, "the buffer was not created with the CPU access that MapType %d needs", type),
               E_INVALIDARG;
    if (IsDynamic() && type != D3D11_MAP_WRITE_DISCARD && type != D3D11_MAP_WRITE_NO_OVERWRITE)
        return LogInvalid(f, "dynamic buffers map only with WRITE_DISCARD or WRITE_NO_OVERWRITE"), E_INVALIDARG;
    if (desc_.Usage == D3D11_USAGE_STAGING && (type == D3D11_MAP_WRITE_DISCARD || type == D3D11_MAP_WRITE_NO_OVERWRITE))
        return LogInvalid(f, "staging buffers map with READ, WRITE or READ_WRITE"), E_INVALIDARG;
    if (IsDynamic() && type == D3D11_MAP_WRITE_NO_OVERWRITE && (desc_.BindFlags & D3D11_BIND_CONSTANT_BUFFER))
        return LogInvalid(f, "WRITE_NO_OVERWRITE is not allowed on constant buffers"), E_INVALIDARG;
    // A discard hands out a fresh slice; the draws made so far keep reading the old one. With
    // no overwrite the program promises not to touch bytes in use, so the slice stays; after
    // a move out of the ring the bytes come back first, since the program may write around them.
    if (Streamed() && type == D3D11_MAP_WRITE_DISCARD && !NewSlice()) return E_OUTOFMEMORY;
    if (Streamed() && type == D3D11_MAP_WRITE_NO_OVERWRITE && !slice_.buffer && shadow_.empty() &&
        (!NewSliceExcept(0, 0) || !Owner()->Stream().WaitIdle()))
        return E_OUTOFMEMORY;
    mapped_ = true;
    mapType_ = type;
    mapped->pData = shadow_.empty() ? slice_.data : shadow_.data();
    mapped->RowPitch = desc_.ByteWidth;
    mapped->DepthPitch = desc_.ByteWidth;
    return S_OK;
}

void Buffer::Unmap() {
    if (!mapped_) {
        LogInvalid("Unmap", "the buffer is not mapped");
        return;
    }
    mapped_ = false;
    if (mapType_ == D3D11_MAP_READ) return;
    ++version_;
    // The ring is mapped coherently: the bytes are already where GL reads them, unless they
    // were written into the memory copy.
    if (Streamed() && !shadow_.empty()) {
        if (!slice_.buffer && !NewSlice())
            return LogError("Unmap", "no streamed storage for a buffer's new contents; draws read the old ones");
        std::memcpy(slice_.data, shadow_.data(), desc_.ByteWidth);
    }
}

GlRange Buffer::UniformSource(const hlsl::ConstantBlock& block, uint32_t layoutId) {
    StreamRing& ring = Owner()->Stream();
    if (shadow_.empty()) return {};
    auto it = std::find_if(uploads_.begin(), uploads_.end(),
                           [layoutId](const Uploaded& u) { return u.layoutId == layoutId; });
    if (it == uploads_.end()) {
        uploads_.push_back({layoutId, ~0ull, {}});
        it = uploads_.end() - 1;
    }
    if (it->version != version_ || !ring.Valid(it->slice)) {
        const StreamRing::Slice slice = ring.Allocate(block.glSize, ring.UniformAlignment());
        if (!slice.buffer) return {};
        const uint8_t* source = shadow_.data();
        const uint32_t available = desc_.ByteWidth;
        if (block.repack.empty()) {
            const uint32_t n = std::min(available, block.glSize);
            std::memcpy(slice.data, source, n);
            std::memset(slice.data + n, 0, block.glSize - n);
        } else {
            std::memset(slice.data, 0, block.glSize);
            for (const hlsl::CopyRange& r : block.repack) {
                if (r.d3dOffset >= available || r.glOffset >= block.glSize) continue;
                const uint32_t n = std::min({r.size, available - r.d3dOffset, block.glSize - r.glOffset});
                std::memcpy(slice.data + r.glOffset, source + r.d3dOffset, n);
            }
        }
        it->version = version_;
        it->slice = slice;
    }
    ring.Use(it->slice);
    return {it->slice.buffer, it->slice.offset};
}

uint32_t Buffer::MaxIndex(uint64_t offset, uint32_t count, bool wide) {
    const uint32_t size = wide ? 4 : 2;
    if (offset >= desc_.ByteWidth) return 0;
    count = static_cast<uint32_t>(std::min<uint64_t>(count, (desc_.ByteWidth - offset) / size));
    MaxIndexQuery& q = maxIndex_;
    if (q.version == version_ && q.offset == offset && q.count == count && q.wide == wide) return q.max;
    uint32_t max = 0;
    const uint64_t total = uint64_t(count) * size;
    if (!shadow_.empty()) {
        max = MaxOf(shadow_.data() + offset, total, wide);
    } else if (const GlRange r = Source(); r.buffer) {
        uint8_t block[4096];
        for (uint64_t done = 0; done < total; done += sizeof block) {
            const uint64_t n = std::min<uint64_t>(sizeof block, total - done);
            glGetNamedBufferSubData(r.buffer, GLintptr(r.offset + offset + done), GLsizeiptr(n), block);
            max = std::max(max, MaxOf(block, n, wide));
        }
    }
    q = {version_, offset, count, max, wide};
    return max;
}

GlRange Buffer::ZeroPadded(GLsizeiptr bytes) {
    if (padded_ && paddedVersion_ == version_ && paddedBytes_ >= bytes) return {padded_, 0};
    while (glGetError() != GL_NO_ERROR) {
    }
    if (!padded_ || paddedBytes_ < bytes) {
        DeleteGl(padded_);
        glCreateBuffers(1, &padded_);
        glNamedBufferData(padded_, bytes, nullptr, GL_STATIC_DRAW);
        paddedBytes_ = bytes;
    }
    const uint8_t zero = 0;
    glClearNamedBufferData(padded_, GL_R8UI, GL_RED_INTEGER, GL_UNSIGNED_BYTE, &zero);
    const GlRange source = SourceForDraw();
    if (source.buffer)
        glCopyNamedBufferSubData(source.buffer, padded_, source.offset, 0, desc_.ByteWidth);
    else if (!shadow_.empty())
        glNamedBufferSubData(padded_, 0, desc_.ByteWidth, shadow_.data());
    if (glGetError() != GL_NO_ERROR) {
        DeleteGl(padded_);
        return {};
    }
    paddedVersion_ = version_;
    return {padded_, 0};
}

}  // namespace quarvel::d3d11
