#include "shader_blob.h"

#include <cstring>
#include <limits>

namespace quarvel::hlsl {
namespace {

// Layout, every integer a little-endian uint32:
//   magic "QHSB", version, payload byte count, FNV-1a hash of the payload, payload.
// Payload: stage, entry, target, glsl, inputs, blocks, samplers. A string is its byte count
// followed by its bytes; a list is its entry count followed by its entries.
constexpr uint32_t kMagic = 0x42534851u;  // "QHSB"
constexpr size_t kHeaderSize = 16;

uint32_t Fnv1a(const uint8_t* data, size_t size) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 16777619u;
    }
    return h;
}

class Writer {
public:
    explicit Writer(std::vector<uint8_t>& out) : out_(out) {}
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void Str(const std::string& s) {
        U32(static_cast<uint32_t>(s.size()));
        out_.insert(out_.end(), s.begin(), s.end());
    }

private:
    std::vector<uint8_t>& out_;
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool U32(uint32_t& v) {
        if (Left() < 4) return Fail();
        v = uint32_t(p_[0]) | uint32_t(p_[1]) << 8 | uint32_t(p_[2]) << 16 | uint32_t(p_[3]) << 24;
        p_ += 4;
        return true;
    }
    bool Str(std::string& s) {
        uint32_t n = 0;
        if (!U32(n) || n > Left()) return Fail();
        s.assign(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return true;
    }
    // A list count, refused when the bytes left could not hold that many entries of at
    // least `minEntryBytes` each, so garbage never makes us reserve gigabytes.
    bool Count(uint32_t& n, size_t minEntryBytes) {
        if (!U32(n)) return false;
        if (n > Left() / minEntryBytes) return Fail();
        return true;
    }
    template <typename E>
    bool Enum(E& e, uint32_t last) {
        uint32_t v = 0;
        if (!U32(v) || v > last) return Fail();
        e = static_cast<E>(v);
        return true;
    }
    size_t Left() const { return static_cast<size_t>(end_ - p_); }
    bool ok() const { return ok_; }

private:
    bool Fail() {
        ok_ = false;
        return false;
    }
    const uint8_t* p_;
    const uint8_t* end_;
    bool ok_ = true;
};

bool ReadInput(Reader& r, VertexInput& in) {
    if (!r.Str(in.semantic) || !r.U32(in.semanticIndex) || !r.U32(in.location) || !r.U32(in.components) ||
        !r.Enum(in.type, static_cast<uint32_t>(ComponentType::UInt)))
        return false;
    return in.components >= 1 && in.components <= 4 && !in.semantic.empty();
}

bool ReadBlock(Reader& r, ConstantBlock& b) {
    uint32_t ranges = 0;
    if (!r.Str(b.name) || !r.Str(b.glslBlockName) || !r.U32(b.slot) || !r.U32(b.d3dSize) || !r.U32(b.glSize) ||
        !r.Count(ranges, 12))
        return false;
    if (b.glslBlockName.empty() || b.d3dSize % 16 != 0) return false;
    b.repack.resize(ranges);
    for (CopyRange& c : b.repack) {
        if (!r.U32(c.d3dOffset) || !r.U32(c.glOffset) || !r.U32(c.size)) return false;
        // The device copies these ranges blindly: each must lie inside both buffers.
        if (c.size == 0 || c.d3dOffset > b.d3dSize || c.size > b.d3dSize - c.d3dOffset || c.glOffset > b.glSize ||
            c.size > b.glSize - c.glOffset)
            return false;
    }
    return true;
}

bool ReadSampler(Reader& r, SamplerBinding& s) {
    if (!r.Str(s.glslName) || !r.U32(s.textureSlot) || !r.U32(s.samplerSlot) ||
        !r.Enum(s.dimension, static_cast<uint32_t>(TextureDimension::TextureCube)))
        return false;
    return !s.glslName.empty();
}

}  // namespace

std::vector<uint8_t> WriteShaderBlob(const CompiledShader& shader) {
    std::vector<uint8_t> payload;
    Writer w(payload);
    w.U32(static_cast<uint32_t>(shader.stage));
    w.Str(shader.entryPoint);
    w.Str(shader.target);
    w.Str(shader.glsl);
    w.U32(static_cast<uint32_t>(shader.inputs.size()));
    for (const VertexInput& in : shader.inputs) {
        w.Str(in.semantic);
        w.U32(in.semanticIndex);
        w.U32(in.location);
        w.U32(in.components);
        w.U32(static_cast<uint32_t>(in.type));
    }
    w.U32(static_cast<uint32_t>(shader.blocks.size()));
    for (const ConstantBlock& b : shader.blocks) {
        w.Str(b.name);
        w.Str(b.glslBlockName);
        w.U32(b.slot);
        w.U32(b.d3dSize);
        w.U32(b.glSize);
        w.U32(static_cast<uint32_t>(b.repack.size()));
        for (const CopyRange& c : b.repack) {
            w.U32(c.d3dOffset);
            w.U32(c.glOffset);
            w.U32(c.size);
        }
    }
    w.U32(static_cast<uint32_t>(shader.samplers.size()));
    for (const SamplerBinding& s : shader.samplers) {
        w.Str(s.glslName);
        w.U32(s.textureSlot);
        w.U32(s.samplerSlot);
        w.U32(static_cast<uint32_t>(s.dimension));
    }

    std::vector<uint8_t> blob;
    blob.reserve(kHeaderSize + payload.size());
    Writer h(blob);
    h.U32(kMagic);
    h.U32(kShaderBlobVersion);
    h.U32(static_cast<uint32_t>(payload.size()));
    h.U32(Fnv1a(payload.data(), payload.size()));
    blob.insert(blob.end(), payload.begin(), payload.end());
    return blob;
}

bool ReadShaderBlob(const void* data, size_t size, CompiledShader& out) {
    if (data == nullptr || size < kHeaderSize) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    Reader header(bytes, kHeaderSize);
    uint32_t magic = 0, version = 0, payloadSize = 0, hash = 0;
    header.U32(magic);
    header.U32(version);
    header.U32(payloadSize);
    header.U32(hash);
    if (magic != kMagic || version != kShaderBlobVersion || payloadSize != size - kHeaderSize) return false;
    const uint8_t* payload = bytes + kHeaderSize;
    if (Fnv1a(payload, payloadSize) != hash) return false;

    CompiledShader s;
    Reader r(payload, payloadSize);
    uint32_t n = 0;
    if (!r.Enum(s.stage, static_cast<uint32_t>(ShaderStage::Pixel)) || !r.Str(s.entryPoint) || !r.Str(s.target) ||
        !r.Str(s.glsl))
        return false;
    if (!r.Count(n, 20)) return false;
    s.inputs.resize(n);
    for (VertexInput& in : s.inputs)
        if (!ReadInput(r, in)) return false;
    if (!r.Count(n, 24)) return false;
    s.blocks.resize(n);
    for (ConstantBlock& b : s.blocks)
        if (!ReadBlock(r, b)) return false;
    if (!r.Count(n, 16)) return false;
    s.samplers.resize(n);
    for (SamplerBinding& sb : s.samplers)
        if (!ReadSampler(r, sb)) return false;
    if (!r.ok() || r.Left() != 0 || s.glsl.empty()) return false;
    out = std::move(s);
    return true;
}

}  // namespace quarvel::hlsl
