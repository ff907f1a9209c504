#include "buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

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
    const bool keepsCopy = desc->Usage == D3D11_USAGE_STAGING || desc->Usage == D3D11_USAGE_DYNAMIC ||
                           (desc->BindFlags & D3D11_BIND_CONSTANT_BUFFER);
    try {
        if (keepsCopy) buffer->shadow_.assign(desc->ByteWidth, 0);
    } catch (const std::bad_alloc&) {
        buffer->Release();
        return E_OUTOFMEMORY;
    }
    if (data && keepsCopy) std::memcpy(buffer->shadow_.data(), data->pSysMem, desc->ByteWidth);

    if (desc->Usage != D3D11_USAGE_STAGING) {
        device->MakeCurrent();
        buffer->usage_ = desc->Usage == D3D11_USAGE_DYNAMIC ? GL_STREAM_DRAW
                         : desc->Usage == D3D11_USAGE_IMMUTABLE ? GL_STATIC_DRAW
                                                                : GL_DYNAMIC_DRAW;
        while (glGetError() != GL_NO_ERROR) {
        }
        glCreateBuffers(1, &buffer->gl_);
        glNamedBufferData(buffer->gl_, desc->ByteWidth, data ? data->pSysMem : nullptr, buffer->usage_);
        if (glGetError() == GL_OUT_OF_MEMORY) {
            buffer->Release();
            return E_OUTOFMEMORY;
        }
    }
    *out = buffer;
    return S_OK;
}

Buffer::~Buffer() {
    Owner()->MakeCurrent();
    GlState& gl = Owner()->Gl();
    if (gl_) {
        gl.ForgetBuffer(gl_);
        glDeleteBuffers(1, &gl_);
    }
    for (const Repacked& r : repacked_) {
        gl.ForgetBuffer(r.gl);
        glDeleteBuffers(1, &r.gl);
    }
}

GLuint Buffer::GlBuffer() {
    if (glStale_ && gl_) {
        // Replacing the whole store orphans storage a previous draw may still read.
        glNamedBufferData(gl_, desc_.ByteWidth, shadow_.data(), usage_);
        glStale_ = false;
    }
    return gl_;
}

void Buffer::Write(uint32_t offset, const void* data, uint32_t size) {
    ++version_;
    if (!shadow_.empty()) {
        std::memcpy(shadow_.data() + offset, data, size);
        if (gl_) glStale_ = true;
        return;
    }
    if (!gl_) return;
    if (offset == 0 && size == desc_.ByteWidth)
        glNamedBufferData(gl_, size, data, usage_);
    else
        glNamedBufferSubData(gl_, offset, size, data);
}

void Buffer::Read(std::vector<uint8_t>& out) {
    if (!shadow_.empty()) {
        out = shadow_;
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
    if (desc_.Usage == D3D11_USAGE_DYNAMIC && type != D3D11_MAP_WRITE_DISCARD && type != D3D11_MAP_WRITE_NO_OVERWRITE)
        return LogInvalid(f, "dynamic buffers map only with WRITE_DISCARD or WRITE_NO_OVERWRITE"), E_INVALIDARG;
    if (desc_.Usage == D3D11_USAGE_STAGING && (type == D3D11_MAP_WRITE_DISCARD || type == D3D11_MAP_WRITE_NO_OVERWRITE))
        return LogInvalid(f, "staging buffers map with READ, WRITE or READ_WRITE"), E_INVALIDARG;
    if (desc_.Usage == D3D11_USAGE_DYNAMIC && type == D3D11_MAP_WRITE_NO_OVERWRITE &&
        (desc_.BindFlags & D3D11_BIND_CONSTANT_BUFFER))
        return LogInvalid(f, "WRITE_NO_OVERWRITE is not allowed on constant buffers"), E_INVALIDARG;
    mapped_ = true;
    mapType_ = type;
    mapped->pData = shadow_.data();
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
    if (!gl_) return;
    if (mapType_ == D3D11_MAP_WRITE_NO_OVERWRITE) {
        // The program promised not to touch bytes in use, so this needs no new storage.
        glNamedBufferSubData(gl_, 0, desc_.ByteWidth, shadow_.data());
        glStale_ = false;
    } else if (desc_.BindFlags & D3D11_BIND_CONSTANT_BUFFER) {
        glStale_ = true;  // uploaded at the draw that reads it, repacked or not
    } else {
        glNamedBufferData(gl_, desc_.ByteWidth, shadow_.data(), usage_);
        glStale_ = false;
    }
}

GLuint Buffer::UniformSource(const hlsl::ConstantBlock& block, uint32_t layoutId) {
    if (block.repack.empty() && desc_.ByteWidth >= block.glSize) return GlBuffer();
    auto it = std::find_if(repacked_.begin(), repacked_.end(),
                           [layoutId](const Repacked& r) { return r.layoutId == layoutId; });
    if (it == repacked_.end()) {
        Repacked r{layoutId, 0, ~0ull};
        glCreateBuffers(1, &r.gl);
        repacked_.push_back(r);
        it = repacked_.end() - 1;
    }
    if (it->version != version_) {
        std::vector<uint8_t> bytes(block.glSize, 0);
        const uint8_t* source = shadow_.data();
        const uint32_t available = desc_.ByteWidth;
        if (block.repack.empty()) {
            std::memcpy(bytes.data(), source, std::min(available, block.glSize));
        } else {
            for (const hlsl::CopyRange& r : block.repack) {
                if (r.d3dOffset >= available || r.glOffset >= block.glSize) continue;
                const uint32_t n = std::min({r.size, available - r.d3dOffset, block.glSize - r.glOffset});
                std::memcpy(bytes.data() + r.glOffset, source + r.d3dOffset, n);
            }
        }
        glNamedBufferData(it->gl, block.glSize, bytes.data(), GL_STREAM_DRAW);
        it->version = version_;
    }
    return it->gl;
}

}  // namespace quarvel::d3d11
