// ReadShaderBlob on arbitrary bytes. The device trusts what it accepts, so besides never
// reading past the end it must keep its promises: every repack range inside both buffer
// sizes, and a blob it accepts is exactly what WriteShaderBlob makes of the result.
//
// A blob's header carries the payload's size and hash, which random bytes never match; so
// each input is also tried with its first 16 bytes sealed: the magic and version that
// WriteShaderBlob writes, the payload's true size and its FNV-1a hash, as the writer makes
// them. Should the header change, sealed inputs are simply refused and only the raw ones
// get through; nothing breaks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "hlsl/shader_blob.h"

using quarvel::hlsl::CompiledShader;

namespace {

constexpr size_t kHeaderSize = 16;

uint32_t Fnv1a(const uint8_t* data, size_t size) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 16777619u;
    }
    return h;
}

void CheckAccepted(const uint8_t* data, size_t size, const CompiledShader& shader) {
    for (const auto& block : shader.blocks) {
        if (block.glslBlockName.empty() || block.d3dSize % 16 != 0) abort();
        for (const auto& range : block.repack) {
            if (uint64_t(range.d3dOffset) + range.size > block.d3dSize) abort();
            if (uint64_t(range.glOffset) + range.size > block.glSize) abort();
        }
    }
    for (const auto& input : shader.inputs) {
        if (input.components < 1 || input.components > 4 || input.semantic.empty()) abort();
    }
    const std::vector<uint8_t> written = quarvel::hlsl::WriteShaderBlob(shader);
    if (written.size() != size || std::memcmp(written.data(), data, size) != 0) abort();
}

void Try(const uint8_t* data, size_t size) {
    CompiledShader shader;
    shader.entryPoint = "untouched";
    if (quarvel::hlsl::ReadShaderBlob(data, size, shader)) {
        CheckAccepted(data, size, shader);
    } else if (shader.entryPoint != "untouched" || !shader.glsl.empty()) {
        abort();  // a refused blob must leave the output as it was
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Try(data, size);
    if (size < kHeaderSize) return 0;

    static const std::vector<uint8_t> reference = quarvel::hlsl::WriteShaderBlob(CompiledShader{});
    std::vector<uint8_t> sealed(data, data + size);
    std::memcpy(sealed.data(), reference.data(), 8);  // magic, version
    const uint32_t payload[2] = {uint32_t(size - kHeaderSize), Fnv1a(sealed.data() + kHeaderSize, size - kHeaderSize)};
    std::memcpy(sealed.data() + 8, payload, 8);  // the blob's words are little-endian, as this machine's
    Try(sealed.data(), sealed.size());
    return 0;
}
