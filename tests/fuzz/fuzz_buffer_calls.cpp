// Random sequences of buffer calls on one device of the Direct3D stand-in: creation of every
// usage and bind kind, maps in every mode, updates, copies, constant, vertex and index bindings
// and one-point draws, with valid and invalid arguments. A model keeps what Direct3D 11 leaves
// in each buffer (a refused call changes nothing; a discarding map leaves the bytes unknown
// until written) and what each draw writes; read-back through staging copies must agree with
// it wherever it knows the bytes.
//
// Each input is a list of operations, one byte choosing the operation and the next ones its
// arguments (an exhausted input reads zeros). QUARVEL_FUZZ_TRACE=1 prints the calls made, which
// is how a finding is turned into a reproducer.
#include <d3d11.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "hlsl/shader_blob.h"

namespace {

bool tracing = false;

void Trace(const char* format, ...) {
    if (!tracing) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}

[[noreturn]] void Fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fprintf(stderr, "fuzz_buffer_calls: ");
    std::vfprintf(stderr, format, args);
    std::fprintf(stderr, "\n");
    va_end(args);
    std::abort();
}

void Expect(HRESULT got, HRESULT want, const char* call) {
    if (got != want) Fail("%s returned 0x%08x, Direct3D returns 0x%08x", call, unsigned(got), unsigned(want));
}

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return size_ == 0; }
    uint8_t Next() {
        if (!size_) return 0;
        --size_;
        return *data_++;
    }
    uint32_t Pick(uint32_t count) { return Next() % count; }

private:
    const uint8_t* data_;
    size_t size_;
};

// Distinct byte patterns, cheap to make from one seed byte.
void Fill(uint8_t* out, size_t size, uint8_t seed) {
    uint32_t x = seed * 2654435761u + 0x9E3779B9u;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        out[i] = uint8_t(x >> 16);
    }
}

// A buffer and what Direct3D holds in it. Shared between the pool and the bindings, since the
// context keeps a bound buffer alive after the pool lets it go.
struct Buffer {
    ID3D11Buffer* d3d = nullptr;
    D3D11_BUFFER_DESC desc{};
    std::vector<uint8_t> bytes, known;
    ~Buffer() {
        if (d3d) d3d->Release();
    }
    UINT Size() const { return desc.ByteWidth; }
    bool Bound(UINT flag) const { return desc.BindFlags & flag; }
    void Set(uint32_t at, const uint8_t* from, const uint8_t* fromKnown, uint32_t size) {
        std::memmove(&bytes[at], from, size);
        std::memmove(&known[at], fromKnown, size);
    }
    // `size` bytes at `at` when all of them are known.
    bool Get(uint64_t at, uint32_t size, uint8_t* out) const {
        if (at + size > bytes.size()) return false;
        for (uint32_t i = 0; i < size; ++i)
            if (!known[at + i]) return false;
        std::memcpy(out, &bytes[at], size);
        return true;
    }
};
using BufferRef = std::shared_ptr<Buffer>;

constexpr int kPool = 6;
constexpr UINT kColumns = 16;  // the target's pixels: one draw writes one, in turn
constexpr UINT kBigBlock = 65536;
constexpr uint64_t kPaddingLimit = 64 << 20;  // the stand-in draws nothing reading further past an end
const UINT kSizes[] = {16, 32, 48, 64, 1, 3, 4, 6, 17, 100, 256, 4096, 65536, 1 << 20, (4 << 20) + 16};

// Offsets and lengths near the places where checks go wrong: ends, halves, 32-bit wrap.
UINT Edge(Bytes& in, UINT size) {
    switch (in.Pick(10)) {
        case 0: return 0;
        case 1: return 1;
        case 2: return size / 2;
        case 3: return size - 1;
        case 4: return size;
        case 5: return size + 1;
        case 6: return 0xFFFFFFF0u;
        case 7: return 0x80000000u;
        default: {
            const uint32_t low = in.Next();  // two statements: the order of the reads is fixed
            return size ? (low | in.Next() << 8) % size : 0;
        }
    }
}

struct Session {
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    ID3D11Texture2D* target = nullptr;
    ID3D11RenderTargetView* targetView = nullptr;
    ID3D11VertexShader* vs = nullptr;
    ID3D11PixelShader* ps = nullptr;
    ID3D11InputLayout* layout = nullptr;
    ID3D11RasterizerState* rasterizer = nullptr;

    BufferRef pool[kPool];
    BufferRef constants[2], vertices, indices;
    UINT stride = 0, vertexOffset = 0, indexOffset = 0;
    DXGI_FORMAT indexFormat = DXGI_FORMAT_R16_UINT;
    uint32_t expected[kColumns][4] = {};
    bool columnKnown[kColumns] = {};
    // What each column's draw read, until a read-back of the target shows the draw done.
    const Buffer* columnReads[kColumns][2] = {};
    uint32_t draws = 0;

    bool Open();
    void Begin();
    void End();
    void Run(Bytes& in);

    void Create(Bytes& in);
    void Map(Bytes& in);
    void Update(Bytes& in);
    void CopyRegion(Bytes& in);
    void CopyWhole(Bytes& in);
    void Check(Buffer& b);
    void Bind(Bytes& in);
    void Draw(Bytes& in);
    void CheckTarget();
    BufferRef Choose(Bytes& in, UINT bindFlag = 0);
};

// The vertex shader makes of any three vertices whose ids differ modulo 3 a triangle over the
// whole viewport, carrying the first vertex's uint4 attribute; the pixel shader writes it
// combined with the first 16 bytes of b0 and of b1. b1's block is the largest GL takes, so
// every change of it streams 64 KiB and the ring turns over quickly.
const char* const kVertexGlsl = R"(#version 450
layout(location = 0) in uvec4 attr_VALUE0;
flat out uvec4 vary_VALUE0;
const vec2 corners[3] = vec2[](vec2(-1.0, -1.0), vec2(3.0, -1.0), vec2(-1.0, 3.0));
void main() {
    gl_Position = vec4(corners[uint(gl_VertexID) % 3u], 0.0, 1.0);
    vary_VALUE0 = attr_VALUE0;
}
)";
const char* const kPixelGlsl = R"(#version 450
layout(std140) uniform ps_small { uvec4 a; };
layout(std140) uniform ps_big { uvec4 b[4096]; };
flat in uvec4 vary_VALUE0;
layout(location = 0) out uvec4 target0;
void main() { target0 = a ^ b[0] ^ vary_VALUE0; }
)";

bool Session::Open() {
    D3D_FEATURE_LEVEL level{};
    if (D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device,
                          &level, &context) != S_OK)
        return false;
    const D3D11_TEXTURE2D_DESC td = {kColumns, 1, 1, 1, DXGI_FORMAT_R32G32B32A32_UINT, {1, 0},
                                     D3D11_USAGE_DEFAULT, D3D11_BIND_RENDER_TARGET, 0, 0};
    using namespace quarvel::hlsl;
    const std::vector<uint8_t> vsBlob = WriteShaderBlob(
        {ShaderStage::Vertex, "VS", "vs_5_0", kVertexGlsl, {{"VALUE", 0, 0, 4, ComponentType::UInt}}, {}, {}});
    std::vector<ConstantBlock> blocks = {{"ps_small", "ps_small", 0, 16, 16, {}},
                                         {"ps_big", "ps_big", 1, kBigBlock, kBigBlock, {}}};
    const std::vector<uint8_t> psBlob =
        WriteShaderBlob({ShaderStage::Pixel, "PS", "ps_5_0", kPixelGlsl, {}, std::move(blocks), {}});
    const D3D11_INPUT_ELEMENT_DESC element = {"VALUE", 0, DXGI_FORMAT_R32G32B32A32_UINT, 0, 0,
                                              D3D11_INPUT_PER_VERTEX_DATA, 0};
    // No culling: the vertex ids decide the winding.
    const D3D11_RASTERIZER_DESC rd = {D3D11_FILL_SOLID, D3D11_CULL_NONE, FALSE, 0, 0, 0, TRUE, FALSE, FALSE, FALSE};
    if (device->CreateTexture2D(&td, nullptr, &target) != S_OK ||
        device->CreateRenderTargetView(target, nullptr, &targetView) != S_OK ||
        device->CreateVertexShader(vsBlob.data(), vsBlob.size(), nullptr, &vs) != S_OK ||
        device->CreatePixelShader(psBlob.data(), psBlob.size(), nullptr, &ps) != S_OK ||
        device->CreateInputLayout(&element, 1, vsBlob.data(), vsBlob.size(), &layout) != S_OK ||
        device->CreateRasterizerState(&rd, &rasterizer) != S_OK)
        return false;
    context->RSSetState(rasterizer);
    context->OMSetRenderTargets(1, &targetView, nullptr);
    context->VSSetShader(vs, nullptr, 0);
    context->PSSetShader(ps, nullptr, 0);
    context->IASetInputLayout(layout);
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    return true;
}

void Session::Begin() {
    const float clear[4] = {5, 6, 7, 8};
    context->ClearRenderTargetView(targetView, clear);
    for (auto& column : expected) column[0] = 5, column[1] = 6, column[2] = 7, column[3] = 8;
    for (bool& k : columnKnown) k = true;
    std::memset(columnReads, 0, sizeof columnReads);
    draws = 0;
}

void Session::End() {
    ID3D11Buffer* none[2] = {};
    const UINT zero[1] = {};
    context->PSSetConstantBuffers(0, 2, none);
    context->IASetVertexBuffers(0, 1, none, zero, zero);
    context->IASetIndexBuffer(nullptr, DXGI_FORMAT_R16_UINT, 0);
    constants[0] = constants[1] = vertices = indices = nullptr;
    for (BufferRef& b : pool) b = nullptr;
}

BufferRef Session::Choose(Bytes& in, UINT bindFlag) {
    const uint32_t slot = in.Pick(kPool + 1);  // one past the pool: null
    BufferRef b = slot < kPool ? pool[slot] : nullptr;
    // A buffer without the bind flag goes in as null: what Direct3D does with it is left open.
    return b && (!bindFlag || b->Bound(bindFlag)) ? b : nullptr;
}

void Session::Create(Bytes& in) {
    const int slot = in.Pick(kPool);
    const D3D11_USAGE usage = D3D11_USAGE(in.Pick(4));
    const UINT binds[] = {D3D11_BIND_VERTEX_BUFFER, D3D11_BIND_INDEX_BUFFER, D3D11_BIND_CONSTANT_BUFFER,
                          D3D11_BIND_VERTEX_BUFFER | D3D11_BIND_INDEX_BUFFER, 0};
    UINT bind = binds[in.Pick(5)];
    const UINT size = kSizes[in.Pick(sizeof kSizes / sizeof *kSizes)];
    const uint8_t options = in.Next(), seed = in.Next();
    const bool initial = options & 1, odd = options & 2, noOut = (options & 0x1C) == 0x1C;
    UINT cpu = 0;
    if (odd)
        cpu = (options >> 2) & 3 ? ((options >> 2) & 3) << 16 : 0;
    else if (usage == D3D11_USAGE_DYNAMIC)
        cpu = D3D11_CPU_ACCESS_WRITE;
    else if (usage == D3D11_USAGE_STAGING)
        cpu = (((options >> 2) % 3) + 1) << 16;
    if (!odd) bind = usage == D3D11_USAGE_STAGING ? 0 : bind ? bind : UINT(D3D11_BIND_VERTEX_BUFFER);

    bool valid = true;
    if (bind & D3D11_BIND_CONSTANT_BUFFER)
        valid = bind == D3D11_BIND_CONSTANT_BUFFER && size % 16 == 0 && size <= kBigBlock;
    switch (usage) {
        case D3D11_USAGE_DEFAULT: valid &= cpu == 0; break;
        case D3D11_USAGE_IMMUTABLE: valid &= cpu == 0 && initial; break;
        case D3D11_USAGE_DYNAMIC: valid &= cpu == D3D11_CPU_ACCESS_WRITE; break;
        case D3D11_USAGE_STAGING: valid &= bind == 0 && cpu != 0; break;
    }
    auto b = std::make_shared<Buffer>();
    b->desc = {size, usage, bind, cpu, 0, 0};
    b->bytes.assign(size, 0);
    b->known.assign(size, initial);
    if (initial) Fill(b->bytes.data(), size, seed);
    const D3D11_SUBRESOURCE_DATA data = {b->bytes.data(), 0, 0};
    Trace("CreateBuffer(slot %d, %u bytes, usage %d, bind 0x%x, cpu 0x%x, %s, %s)\n", slot, size, usage, bind, cpu,
          initial ? "data" : "no data", noOut ? "no out" : "out");
    ID3D11Buffer* out = reinterpret_cast<ID3D11Buffer*>(uintptr_t(1));
    const HRESULT hr = device->CreateBuffer(&b->desc, initial ? &data : nullptr, noOut ? nullptr : &out);
    Expect(hr, !valid ? E_INVALIDARG : noOut ? S_FALSE : S_OK, "CreateBuffer");
    if (noOut) return;
    if (!valid) {
        if (out) Fail("a refused CreateBuffer left its out pointer set");
        return;
    }
    b->d3d = out;
    pool[slot] = b;
}

void Session::Map(Bytes& in) {
    BufferRef b = Choose(in);
    const int type = int(in.Pick(7));  // 0 and 6 are no D3D11_MAP
    const uint8_t options = in.Next();
    const UINT flags = (options & 7) == 0 ? UINT(D3D11_MAP_FLAG_DO_NOT_WAIT) : (options & 7) == 1 ? 0x4u : 0u;
    if (!b) return;
    const D3D11_BUFFER_DESC& d = b->desc;
    const bool reads = type == D3D11_MAP_READ || type == D3D11_MAP_READ_WRITE;
    const bool writes = type >= D3D11_MAP_WRITE && type <= D3D11_MAP_WRITE_NO_OVERWRITE;
    const bool streaming = type == D3D11_MAP_WRITE_DISCARD || type == D3D11_MAP_WRITE_NO_OVERWRITE;
    bool valid = (reads || writes) && (flags & ~UINT(D3D11_MAP_FLAG_DO_NOT_WAIT)) == 0;
    valid &= !(reads && !(d.CPUAccessFlags & D3D11_CPU_ACCESS_READ));
    valid &= !(writes && !(d.CPUAccessFlags & D3D11_CPU_ACCESS_WRITE));
    valid &= d.Usage == D3D11_USAGE_DYNAMIC ? streaming : d.Usage == D3D11_USAGE_STAGING && !streaming;
    valid &= !(type == D3D11_MAP_WRITE_NO_OVERWRITE && b->Bound(D3D11_BIND_CONSTANT_BUFFER));
    valid &= !(streaming && flags);  // refused with the two modes that never wait
    Trace("Map(%u-byte usage %d, type %d, flags 0x%x)\n", d.ByteWidth, d.Usage, type, flags);
    D3D11_MAPPED_SUBRESOURCE mapped{};
    const HRESULT hr = context->Map(b->d3d, 0, D3D11_MAP(type), flags, &mapped);
    if (valid && flags && hr == DXGI_ERROR_WAS_STILL_DRAWING) return;
    Expect(hr, valid ? S_OK : E_INVALIDARG, "Map");
    if (!valid) return;
    if (!mapped.pData) Fail("Map succeeded without a pointer");
    auto* bytes = static_cast<uint8_t*>(mapped.pData);
    if (reads)
        for (UINT i = 0; i < d.ByteWidth; ++i)
            if (b->known[i] && bytes[i] != b->bytes[i])
                Fail("a read map of a %u-byte buffer has 0x%02x at byte %u where 0x%02x was left", d.ByteWidth,
                     bytes[i], i, b->bytes[i]);
    if (options & 8) {
        D3D11_MAPPED_SUBRESOURCE again{};
        Trace("  Map again\n");
        Expect(context->Map(b->d3d, 0, D3D11_MAP(type), 0, &again), E_INVALIDARG, "Map of a mapped buffer");
    }
    if (type == D3D11_MAP_WRITE_DISCARD) std::fill(b->known.begin(), b->known.end(), 0);
    // Writing without overwriting promises to leave what draws in flight read alone; the
    // promise is the program's to keep, so a draw that may see the new bytes is not checked.
    if (type == D3D11_MAP_WRITE_NO_OVERWRITE)
        for (UINT x = 0; x < kColumns; ++x)
            if (columnReads[x][0] == b.get() || columnReads[x][1] == b.get()) columnKnown[x] = false;
    if (writes) {
        UINT from = Edge(in, d.ByteWidth) % (d.ByteWidth + 1), to = Edge(in, d.ByteWidth) % (d.ByteWidth + 1);
        if (from > to) std::swap(from, to);
        Fill(bytes + from, to - from, in.Next());
        std::memcpy(&b->bytes[from], bytes + from, to - from);
        std::fill(b->known.begin() + from, b->known.begin() + to, 1);
        Trace("  write bytes [%u, %u)\n", from, to);
    }
    context->Unmap(b->d3d, 0);
    if (options & 16) {
        Trace("  Unmap again\n");
        context->Unmap(b->d3d, 0);  // not mapped: nothing happens
    }
}

// A box over bytes [left, right) of a buffer; `kind` 2 makes it empty across rows, 3 reach
// past the buffer's single row and slice.
D3D11_BOX BufferBox(Bytes& in, UINT size, uint32_t kind) {
    D3D11_BOX box = {0, 0, 0, 0, 1, 1};
    box.left = Edge(in, size);
    box.right = Edge(in, size);
    if (kind == 2) (in.Next() & 1 ? box.bottom : box.back) = 0;
    if (kind == 3) (in.Next() & 1 ? box.bottom : box.back) = 2;
    return box;
}

bool Empty(const D3D11_BOX& b) { return b.left >= b.right || b.top >= b.bottom || b.front >= b.back; }

void Session::Update(Bytes& in) {
    BufferRef b = Choose(in);
    const uint32_t kind = in.Pick(4);
    const uint8_t seed = in.Next();
    if (!b) return;
    const D3D11_BOX box = kind ? BufferBox(in, b->Size(), kind) : D3D11_BOX{0, 0, 0, b->Size(), 1, 1};
    const bool applies = (b->desc.Usage == D3D11_USAGE_DEFAULT || b->desc.Usage == D3D11_USAGE_STAGING) &&
                         !Empty(box) && box.right <= b->Size() && box.bottom <= 1 && box.back <= 1;
    // The source holds what a valid box reads; a call reading more is caught by the sanitizer.
    std::vector<uint8_t> source(box.right > box.left ? std::min<size_t>(box.right - box.left, b->Size() + 64) : 1);
    Fill(source.data(), source.size(), seed);
    Trace("UpdateSubresource(%u-byte usage %d, box %s [%u, %u) rows [%u, %u) slices [%u, %u))\n", b->Size(),
          b->desc.Usage, kind ? "" : "null", box.left, box.right, box.top, box.bottom, box.front, box.back);
    context->UpdateSubresource(b->d3d, 0, kind ? &box : nullptr, source.data(), 0, 0);
    if (!applies) return;
    const std::vector<uint8_t> ones(source.size(), 1);
    b->Set(box.left, source.data(), ones.data(), box.right - box.left);
}

void Session::CopyRegion(Bytes& in) {
    BufferRef dst = Choose(in), src = Choose(in);
    const uint32_t kind = in.Pick(4);
    const uint8_t options = in.Next();
    if (!dst || !src || dst == src) return;  // one subresource copied onto itself is undefined
    const UINT x = Edge(in, dst->Size()), y = (options & 7) == 0, z = (options & 7) == 1;
    const D3D11_BOX box = kind ? BufferBox(in, src->Size(), kind) : D3D11_BOX{0, 0, 0, src->Size(), 1, 1};
    const bool applies = dst->desc.Usage != D3D11_USAGE_IMMUTABLE && !Empty(box) && box.right <= src->Size() &&
                         box.bottom <= 1 && box.back <= 1 && y == 0 && z == 0 &&
                         uint64_t(x) + (box.right - box.left) <= dst->Size();
    Trace("CopySubresourceRegion(dst %u-byte usage %d at (%u, %u, %u), src %u-byte usage %d, box %s [%u, %u) rows "
          "[%u, %u) slices [%u, %u))\n",
          dst->Size(), dst->desc.Usage, x, y, z, src->Size(), src->desc.Usage, kind ? "" : "null", box.left,
          box.right, box.top, box.bottom, box.front, box.back);
    context->CopySubresourceRegion(dst->d3d, 0, x, y, z, src->d3d, 0, kind ? &box : nullptr);
    if (applies) dst->Set(x, &src->bytes[box.left], &src->known[box.left], box.right - box.left);
}

void Session::CopyWhole(Bytes& in) {
    BufferRef dst = Choose(in), src = Choose(in);
    if (!dst || !src) return;
    Trace("CopyResource(dst %u-byte usage %d, src %u-byte usage %d%s)\n", dst->Size(), dst->desc.Usage, src->Size(),
          src->desc.Usage, dst == src ? ", the same buffer" : "");
    context->CopyResource(dst->d3d, src->d3d);
    if (dst != src && dst->Size() == src->Size() && dst->desc.Usage != D3D11_USAGE_IMMUTABLE)
        dst->Set(0, src->bytes.data(), src->known.data(), src->Size());
}

// Reads a buffer back as a Direct3D program does, through a staging copy and a read map.
void Session::Check(Buffer& b) {
    D3D11_BUFFER_DESC d = {b.Size(), D3D11_USAGE_STAGING, 0, D3D11_CPU_ACCESS_READ, 0, 0};
    ID3D11Buffer* staging = nullptr;
    Expect(device->CreateBuffer(&d, nullptr, &staging), S_OK, "CreateBuffer of a staging buffer");
    context->CopyResource(staging, b.d3d);
    D3D11_MAPPED_SUBRESOURCE mapped{};
    Expect(context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped), S_OK, "Map of a staging buffer");
    const auto* bytes = static_cast<const uint8_t*>(mapped.pData);
    for (UINT i = 0; i < b.Size(); ++i)
        if (b.known[i] && bytes[i] != b.bytes[i])
            Fail("a %u-byte buffer of usage %d holds 0x%02x at byte %u where 0x%02x was left", b.Size(), b.desc.Usage,
                 bytes[i], i, b.bytes[i]);
    context->Unmap(staging, 0);
    staging->Release();
}

void Session::Bind(Bytes& in) {
    switch (in.Pick(3)) {
        case 0: {
            const UINT slot = in.Pick(2);
            constants[slot] = Choose(in, D3D11_BIND_CONSTANT_BUFFER);
            ID3D11Buffer* buffer = constants[slot] ? constants[slot]->d3d : nullptr;
            Trace("PSSetConstantBuffers(%u, %s)\n", slot, buffer ? "a buffer" : "null");
            context->PSSetConstantBuffers(slot, 1, &buffer);
            break;
        }
        case 1: {
            const UINT strides[] = {0, 4, 16, 20, 32, 256};
            vertices = Choose(in, D3D11_BIND_VERTEX_BUFFER);
            stride = strides[in.Pick(6)];
            vertexOffset = (Edge(in, vertices ? vertices->Size() : 64) & 0x3FFFFFC) % 0x100000;
            ID3D11Buffer* buffer = vertices ? vertices->d3d : nullptr;
            Trace("IASetVertexBuffers(%s, stride %u, offset %u)\n", buffer ? "a buffer" : "null", stride, vertexOffset);
            context->IASetVertexBuffers(0, 1, &buffer, &stride, &vertexOffset);
            break;
        }
        default: {
            indices = Choose(in, D3D11_BIND_INDEX_BUFFER);
            indexFormat = in.Next() & 1 ? DXGI_FORMAT_R32_UINT : DXGI_FORMAT_R16_UINT;
            indexOffset = (Edge(in, indices ? indices->Size() : 64) & 0x3FFFFFC) % 0x100000;
            ID3D11Buffer* buffer = indices ? indices->d3d : nullptr;
            Trace("IASetIndexBuffer(%s, %s, offset %u)\n", buffer ? "a buffer" : "null",
                  indexFormat == DXGI_FORMAT_R32_UINT ? "32-bit" : "16-bit", indexOffset);
            context->IASetIndexBuffer(buffer, indexFormat, indexOffset);
        }
    }
}

// What a draw's triangle writes: b0 ^ b1 ^ the first vertex's attribute, as Direct3D reads
// them (zeros for an unbound buffer and for an element wholly past a vertex buffer's end).
// `last` is the highest vertex the draw reads. False where the model does not know it.
bool Predict(const BufferRef constants[2], const Buffer* vertices, UINT stride, UINT offset, int64_t vertex,
             int64_t last, uint32_t out[4]) {
    uint32_t value[4] = {};
    std::memset(out, 0, 16);
    for (int i = 0; i < 2; ++i) {
        if (constants[i] && !constants[i]->Get(0, 16, reinterpret_cast<uint8_t*>(value))) return false;
        for (int c = 0; c < 4 && constants[i]; ++c) out[c] ^= value[c];
    }
    if (vertex < 0 || last > 0x7FFFFFFF) return false;
    const uint64_t at = offset + uint64_t(stride) * uint64_t(vertex);
    if (vertices &&
        offset + uint64_t(stride) * uint64_t(last) + 16 > std::max<uint64_t>(kPaddingLimit, vertices->Size()))
        return false;
    if (!vertices || at >= vertices->Size()) return true;
    if (at + 16 > vertices->Size() || !vertices->Get(at, 16, reinterpret_cast<uint8_t*>(value))) return false;
    for (int c = 0; c < 4; ++c) out[c] ^= value[c];
    return true;
}

void Session::Draw(Bytes& in) {
    const bool indexed = in.Next() & 1;
    const UINT starts[] = {0, 1, 2, 3, 7, 100, 4095, 65535};
    const INT bases[] = {0, 1, -1, 3};
    const UINT start = starts[in.Pick(8)];
    const INT base = bases[in.Pick(4)];
    const UINT column = draws++ % kColumns;
    const D3D11_VIEWPORT viewport = {float(column), 0, 1, 1, 0, 1};
    columnReads[column][0] = vertices.get();
    columnReads[column][1] = indexed ? indices.get() : nullptr;
    context->RSSetViewports(1, &viewport);
    int64_t ids[3] = {start, int64_t(start) + 1, int64_t(start) + 2};
    bool known = true;
    if (indexed) {
        Trace("DrawIndexed(3, start %u, base %d) into column %u\n", start, base, column);
        context->DrawIndexed(3, start, base);
        const uint32_t size = indexFormat == DXGI_FORMAT_R32_UINT ? 4 : 2;
        known = indices != nullptr;  // Direct3D's answer to a missing index buffer is left open
        for (int i = 0; i < 3 && known; ++i) {
            const uint64_t at = indexOffset + (uint64_t(start) + i) * size;
            uint32_t index = 0;  // past the end
            if (at + size <= indices->Size())
                known = indices->Get(at, size, reinterpret_cast<uint8_t*>(&index)) &&
                        index != (size == 4 ? 0xFFFFFFFFu : 0xFFFFu);  // whether a list cuts there is left open
            ids[i] = int64_t(index) + base;
        }
        known &= std::min({ids[0], ids[1], ids[2]}) >= 0;
        if (known && ((ids[0] - ids[1]) % 3 == 0 || (ids[1] - ids[2]) % 3 == 0 || (ids[0] - ids[2]) % 3 == 0))
            return;  // two corners coincide: the triangle covers nothing
    } else {
        Trace("Draw(3, start %u) into column %u\n", start, column);
        context->Draw(3, start);
    }
    const int64_t last = std::max({ids[0], ids[1], ids[2]});
    columnKnown[column] = known && Predict(constants, vertices.get(), vertices ? stride : 0, vertexOffset, ids[0], last,
                                           expected[column]);
}

void Session::CheckTarget() {
    const D3D11_TEXTURE2D_DESC td = {kColumns, 1, 1, 1, DXGI_FORMAT_R32G32B32A32_UINT, {1, 0},
                                     D3D11_USAGE_STAGING, 0, D3D11_CPU_ACCESS_READ, 0};
    ID3D11Texture2D* staging = nullptr;
    Expect(device->CreateTexture2D(&td, nullptr, &staging), S_OK, "CreateTexture2D of a staging texture");
    context->CopyResource(staging, target);
    D3D11_MAPPED_SUBRESOURCE mapped{};
    Expect(context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped), S_OK, "Map of a staging texture");
    const auto* texels = static_cast<const uint32_t*>(mapped.pData);
    for (UINT x = 0; x < kColumns; ++x) {
        const uint32_t* got = texels + 4 * x;
        const uint32_t* want = expected[x];
        if (columnKnown[x] && std::memcmp(got, want, 16) != 0)
            Fail("pixel %u is (%08x %08x %08x %08x) where the draw's buffers give (%08x %08x %08x %08x)", x, got[0],
                 got[1], got[2], got[3], want[0], want[1], want[2], want[3]);
    }
    context->Unmap(staging, 0);
    staging->Release();
    std::memset(columnReads, 0, sizeof columnReads);
}

void Session::Run(Bytes& in) {
    while (!in.Empty()) {
        switch (in.Pick(12)) {
            case 0:
            case 1: Create(in); break;
            case 2: pool[in.Pick(kPool)] = nullptr; break;
            case 3:
            case 4: Map(in); break;
            case 5: Update(in); break;
            case 6: CopyRegion(in); break;
            case 7: CopyWhole(in); break;
            case 8:
                if (BufferRef b = Choose(in)) Check(*b);
                break;
            case 9: Bind(in); break;
            case 10: Draw(in); break;
            default: CheckTarget(); break;
        }
    }
    for (BufferRef& b : pool)
        if (b) Check(*b);
    CheckTarget();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("QUARVEL_D3D11_STRICT", "1", 0);  // a call Windows would crash on is a finding too
    const char* trace = getenv("QUARVEL_FUZZ_TRACE");
    tracing = trace && trace[0] == '1';
    return 0;
}

// One device serves every input, as making one costs seconds: the stream ring's history
// carries from input to input (a finding is confirmed by replaying its input alone).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Session session;
    static const bool opened = session.Open();
    if (!opened) Fail("no device");
    Bytes in(data, size);
    session.Begin();
    session.Run(in);
    session.End();
    return 0;
}
