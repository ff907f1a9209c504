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
    if (desc->Usage == D3D11_USAGE_DYNAMIC) {
        if (!buffer->NewSlice()) {
            buffer->Release();
            return E_OUTOFMEMORY;
        }
        // Without initial data the contents are undefined; zeros keep indices inside.
        if (initial)
            std::memcpy(buffer->slice_.data, initial, desc->ByteWidth);
        else
            std::memset(buffer->slice_.data, 0, desc->ByteWidth);
    } else if (desc->Usage == D3D11_USAGE_STAGING || (desc->BindFlags & D3D11_BIND_CONSTANT_BUFFER)) {
        try {
            buffer->shadow_.assign(desc->ByteWidth, 0);
        } catch (const std::bad_alloc&) {
            buffer->Release();
            return E_OUTOFMEMORY;
        }
        if (initial) std::memcpy(buffer->shadow_.data(), initial, desc->ByteWidth);
    } else {
        while (glGetError() != GL_NO_ERROR) {
        }
        glCreateBuffers(1, &buffer->gl_);
        glNamedBufferData(buffer->gl_, desc->ByteWidth, initial,
                          desc->Usage == D3D11_USAGE_IMMUTABLE ? GL_STATIC_DRAW : GL_DYNAMIC_DRAW);
        if (glGetError() == GL_OUT_OF_MEMORY) {
            buffer->Release();
            return E_OUTOFMEMORY;
        }
    }
    if (initial && (desc->BindFlags & D3D11_BIND_INDEX_BUFFER))
        buffer->NoteIndices(static_cast<const uint8_t*>(initial), 0, desc->ByteWidth, true);
    *out = buffer;
    return S_OK;
}

Buffer::~Buffer() {
    Owner()->MakeCurrent();
    DeleteGl(gl_);
    DeleteGl(padded_);
    Owner()->Stream().Unkeep(slice_);
}

void Buffer::DeleteGl(GLuint& name) {
    if (!name) return;
    Owner()->Gl().ForgetBuffer(name);
    Owner()->ImmediateContext().ForgetGlBuffer(name);
    glDeleteBuffers(1, &name);
    name = 0;
}

bool Buffer::NewSlice() {
    StreamRing& ring = Owner()->Stream();
    // Constant data must start where a uniform range may; vertices and indices at 16 bytes.
    const GLsizeiptr alignment = (desc_.BindFlags & D3D11_BIND_CONSTANT_BUFFER) ? ring.UniformAlignment() : 16;
    const StreamRing::Slice slice = ring.Allocate(desc_.ByteWidth, alignment);
    if (!slice.buffer) return false;
    ring.Keep(slice);
    ring.Unkeep(slice_);
    slice_ = slice;
    return true;
}

void Buffer::NoteIndices(const uint8_t* bytes, uint32_t offset, uint32_t size, bool whole) {
    uint32_t max16 = 0, max32 = 0;
    const uint32_t end = offset + size;
    for (uint32_t at = (offset + 1) & ~1u; at + 2 <= end; at += 2) {
        uint16_t v;
        std::memcpy(&v, bytes + (at - offset), 2);
        if (v != 0xFFFFu) max16 = std::max<uint32_t>(max16, v);  // the strip cut reads no vertex
    }
    for (uint32_t at = (offset + 3) & ~3u; at + 4 <= end; at += 4) {
        uint32_t v;
        std::memcpy(&v, bytes + (at - offset), 4);
        if (v != 0xFFFFFFFFu) max32 = std::max(max32, v);
    }
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

void Buffer::Write(uint32_t offset, const void* data, uint32_t size) {
    ++version_;
    if (desc_.BindFlags & D3D11_BIND_INDEX_BUFFER)
        NoteIndices(static_cast<const uint8_t*>(data), offset, size, offset == 0 && size == desc_.ByteWidth);
    if (!shadow_.empty()) {
        std::memcpy(shadow_.data() + offset, data, size);
        return;
    }
    if (slice_.buffer) {
        // Draws already made may still read the current slice: write into a copy of it.
        const StreamRing::Slice old = slice_;
        Owner()->Stream().Keep(old);
        if (NewSlice()) {
            std::memcpy(slice_.data, old.data, desc_.ByteWidth);
            std::memcpy(slice_.data + offset, data, size);
        }
        Owner()->Stream().Unkeep(old);
        return;
    }
    if (gl_) glNamedBufferSubData(gl_, offset, size, data);
}

void Buffer::Read(std::vector<uint8_t>& out) {
    if (slice_.buffer || !shadow_.empty()) {
        out.assign(Bytes(), Bytes() + desc_.ByteWidth);
        return;
    }
    out.assign(desc_.ByteWidth, 0);
    if (gl_) glGetNamedBufferSubData(gl_, 0, desc_.ByteWidth, out.data());
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
    // no overwrite the program promises not to touch bytes in use, so the slice stays.
    if (type == D3D11_MAP_WRITE_DISCARD && !NewSlice()) return E_OUTOFMEMORY;
    mapped_ = true;
    mapType_ = type;
    mapped->pData = const_cast<uint8_t*>(Bytes());
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
    // The ring is mapped coherently: the bytes are already where GL reads them.
    if (desc_.BindFlags & D3D11_BIND_INDEX_BUFFER) NoteIndices(Bytes(), 0, desc_.ByteWidth, true);
}

GlRange Buffer::UniformSource(const hlsl::ConstantBlock& block, uint32_t layoutId) {
    StreamRing& ring = Owner()->Stream();
    if (slice_.buffer && block.repack.empty() && desc_.ByteWidth >= block.glSize) return Source();
    auto it = std::find_if(uploads_.begin(), uploads_.end(),
                           [layoutId](const Uploaded& u) { return u.layoutId == layoutId; });
    if (it == uploads_.end()) {
        uploads_.push_back({layoutId, ~0ull, {}});
        it = uploads_.end() - 1;
    }
    if (it->version == version_ && ring.Valid(it->slice)) return {it->slice.buffer, it->slice.offset};

    const StreamRing::Slice slice = ring.Allocate(block.glSize, ring.UniformAlignment());
    if (!slice.buffer) return {};
    const uint8_t* source = Bytes();
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
    return {slice.buffer, slice.offset};
}

uint32_t Buffer::MaxIndex(uint64_t offset, uint32_t count, bool wide) {
    const uint32_t size = wide ? 4 : 2;
    if (offset >= desc_.ByteWidth) return 0;
    count = static_cast<uint32_t>(std::min<uint64_t>(count, (desc_.ByteWidth - offset) / size));
    std::vector<uint8_t> bytes(size_t(count) * size);
    if (slice_.buffer || !shadow_.empty())
        std::memcpy(bytes.data(), Bytes() + offset, bytes.size());
    else if (gl_)
        glGetNamedBufferSubData(gl_, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes.size()), bytes.data());
    uint32_t max = 0;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t v = 0;
        std::memcpy(&v, bytes.data() + size_t(i) * size, size);
        if (v != (wide ? 0xFFFFFFFFu : 0xFFFFu)) max = std::max(max, v);
    }
    return max;
}

GlRange Buffer::ZeroPadded(GLsizeiptr bytes) {
    if (padded_ && paddedVersion_ == version_ && paddedBytes_ >= bytes) return {padded_, 0};
    DeleteGl(padded_);
    while (glGetError() != GL_NO_ERROR) {
    }
    glCreateBuffers(1, &padded_);
    glNamedBufferData(padded_, bytes, nullptr, GL_STATIC_DRAW);
    const uint8_t zero = 0;
    glClearNamedBufferData(padded_, GL_R8UI, GL_RED_INTEGER, GL_UNSIGNED_BYTE, &zero);
    const GlRange source = Source();
    if (source.buffer)
        glCopyNamedBufferSubData(source.buffer, padded_, source.offset, 0, desc_.ByteWidth);
    if (glGetError() != GL_NO_ERROR) {
        DeleteGl(padded_);
        return {};
    }
    paddedBytes_ = bytes;
    paddedVersion_ = version_;
    return {padded_, 0};
}

}  // namespace quarvel::d3d11
