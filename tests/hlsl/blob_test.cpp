// The code-blob layout: everything survives a round trip, and ReadShaderBlob refuses
// anything else without reading past the bytes it was given.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "hlsl/shader_blob.h"

namespace quarvel::hlsl {
namespace {

CompiledShader Sample() {
    return {ShaderStage::Pixel,
            "MergePS",
            "ps_5_0",
            "#version 450\nvoid main() {}\n",
            {{"POSITION", 0, 0, 3, ComponentType::Float}, {"BLENDINDICES", 2, 1, 4, ComponentType::UInt}},
            {{"cb", "ps_cb", 2, 32, 48, {{0, 0, 20}, {20, 32, 12}}}},
            {{"ps_t0_s0", 0, 0, TextureDimension::Texture2D},
             {"ps_t1", 1, SamplerBinding::kNoSampler, TextureDimension::TextureCube}}};
}

// Recomputes the payload hash, so an altered blob gets past the checksum to the checks behind it.
void Rehash(std::vector<uint8_t>& blob) {
    uint32_t h = 2166136261u;
    for (size_t i = 16; i < blob.size(); ++i) h = (h ^ blob[i]) * 16777619u;
    std::memcpy(&blob[12], &h, 4);
}

bool Reads(const std::vector<uint8_t>& bytes) {
    CompiledShader out;
    return ReadShaderBlob(bytes.data(), bytes.size(), out);
}

TEST(HlslBlob, RoundTripsEveryField) {
    const std::vector<uint8_t> bytes = WriteShaderBlob(Sample());
    CompiledShader out;
    ASSERT_TRUE(ReadShaderBlob(bytes.data(), bytes.size(), out));
    // Writing what was read gives the same bytes, so no field was lost or changed.
    EXPECT_EQ(WriteShaderBlob(out), bytes);
    EXPECT_EQ(out.blocks[0].repack[1].glOffset, 32u);
    EXPECT_EQ(out.samplers[1].samplerSlot, SamplerBinding::kNoSampler);
    EXPECT_EQ(out.inputs[1].type, ComponentType::UInt);
}

TEST(HlslBlob, RefusesTruncatedExtendedAlteredAndInconsistentBlobs) {
    const std::vector<uint8_t> good = WriteShaderBlob(Sample());
    CompiledShader out;
    out.entryPoint = "untouched";
    EXPECT_FALSE(ReadShaderBlob(nullptr, good.size(), out));
    // Each prefix is a copy of its own, so reading past it is reading past an allocation.
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(ReadShaderBlob(std::vector<uint8_t>(good.begin(), good.begin() + long(n)).data(), n, out)) << n;
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(Reads(longer));
    for (size_t at : {size_t(0), size_t(4), size_t(20), good.size() - 1}) {
        std::vector<uint8_t> bad = good;
        bad[at] ^= 0x40;
        EXPECT_FALSE(Reads(bad)) << "byte " << at;
    }
    EXPECT_EQ(out.entryPoint, "untouched");

    // Well hashed but breaking the layout: repack ranges past either buffer would make the
    // device copy out of bounds.
    const std::function<void(CompiledShader&)> breakages[] = {
        [](CompiledShader& s) { s.blocks[0].repack[1].size = 13; },
        [](CompiledShader& s) { s.blocks[0].repack[1].glOffset = 40; },
        [](CompiledShader& s) { s.inputs[0].components = 5; },
        [](CompiledShader& s) { s.samplers[0].dimension = static_cast<TextureDimension>(7); },
    };
    for (const auto& breakage : breakages) {
        CompiledShader s = Sample();
        breakage(s);
        EXPECT_FALSE(Reads(WriteShaderBlob(s)));
    }
    // A string length and a list count in the billions.
    const uint32_t huge = 0xFFFFFFF0u;
    const size_t inputCount = 16 + 4 + (4 + 7) + (4 + 6) + (4 + Sample().glsl.size());
    for (size_t at : {size_t(16 + 4), inputCount}) {
        std::vector<uint8_t> bad = good;
        std::memcpy(&bad[at], &huge, 4);
        Rehash(bad);
        EXPECT_FALSE(Reads(bad)) << at;
    }
    std::vector<uint8_t> same = good;
    Rehash(same);
    EXPECT_TRUE(Reads(same)) << "the checks above are not the checksum's";
}

}  // namespace
}  // namespace quarvel::hlsl
