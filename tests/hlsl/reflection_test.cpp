// What the code blob tells the device: vertex inputs by semantic, constant buffers by
// register with their sizes, combined samplers by t and s register, and GLSL that follows
// the naming contract of shader_blob.h.
#include <gtest/gtest.h>

#include <tuple>

#include "test_support.h"

namespace quarvel::hlsl::test {
namespace {

template <typename T, typename F>
const T* Find(const std::vector<T>& list, F match) {
    for (const T& item : list)
        if (match(item)) return &item;
    return nullptr;
}

TEST(HlslReflection, ConstantBuffersReportRegisterSizesAndStageUniqueNames) {
    const std::string source = R"(
cbuffer cb : register(b0) { float4 vColor; };
cbuffer cbGlobal : register(b2) { int effect; int3 res2; float4 FFT[32]; };
cbuffer cbAuto { float fTime; float3 res; };
cbuffer cbUnread : register(b5) { float4 never; };
float4 loose;
float4 PS() : SV_Target { return vColor + effect + FFT[3] + fTime + res.x + loose; }
float4 VS() : SV_Position { return vColor; })";
    const Compiled ps = Compile(source, "PS", "ps_5_0");
    const Compiled vs = Compile(source, "VS", "vs_4_0");
    ASSERT_TRUE(ps.blobRead && vs.blobRead) << ps.messages << vs.messages;
    const auto block = [](const Compiled& c, const char* name) {
        return Find(c.shader.blocks, [&](const ConstantBlock& b) { return b.name == name; });
    };
    const ConstantBlock *cb = block(ps, "cb"), *global = block(ps, "cbGlobal"), *automatic = block(ps, "cbAuto"),
                        *loose = block(ps, "$Globals");
    ASSERT_TRUE(cb && global && automatic && loose);
    EXPECT_EQ(block(ps, "cbUnread"), nullptr);
    EXPECT_EQ(std::make_tuple(cb->slot, cb->d3dSize, cb->repack.size()), std::make_tuple(0u, 16u, size_t(0)));
    EXPECT_EQ(std::make_tuple(global->slot, global->d3dSize, global->glSize), std::make_tuple(2u, 528u, 544u));
    // Without register(), a buffer takes a b register nothing else claimed.
    EXPECT_NE(automatic->slot, 0u);
    EXPECT_NE(automatic->slot, 2u);
    EXPECT_NE(loose->slot, automatic->slot);
    EXPECT_EQ(std::make_pair(automatic->d3dSize, automatic->glSize), std::make_pair(16u, 32u));
    ASSERT_TRUE(block(vs, "cb"));
    EXPECT_NE(block(vs, "cb")->glslBlockName, cb->glslBlockName) << "one block name per stage";
    EXPECT_EQ(ps.shader.glsl.find("binding"), std::string::npos) << "the device binds blocks by name";
}

TEST(HlslReflection, SamplersPairTextureAndSamplerRegisters) {
    const Compiled c = Compile(R"(
Texture2D txDiffuse : register(t0);
Texture2D txAuto;
Texture2D txDepth : register(t2);
TextureCube txCube : register(t5);
SamplerState samLinear : register(s0);
SamplerState samPoint : register(s3);
float4 Blur(Texture2D t, float2 uv) { return t.Sample(samPoint, uv); }
float4 PS(float2 uv : TEXCOORD0) : SV_Target
{
    return txDiffuse.Sample(samLinear, uv) + Blur(txDiffuse, uv) + txAuto.Sample(samLinear, uv)
         + txDepth.Load(int3(1, 2, 0)) + txCube.Sample(samLinear, float3(uv, 1));
})",
                               "PS", "ps_5_0");
    ASSERT_TRUE(c.blobRead) << c.messages;
    const auto pair = [&](uint32_t t, uint32_t s) {
        return Find(c.shader.samplers, [&](const SamplerBinding& b) { return b.textureSlot == t && b.samplerSlot == s; });
    };
    EXPECT_EQ(c.shader.samplers.size(), 5u);
    // One texture through two samplers (one inside a function) is two combined samplers;
    // txAuto takes t1, the first free t register; Load needs no sampler.
    ASSERT_TRUE(pair(0, 0) && pair(0, 3) && pair(1, 0) && pair(2, SamplerBinding::kNoSampler) && pair(5, 0));
    EXPECT_EQ(pair(5, 0)->dimension, TextureDimension::TextureCube);
    EXPECT_EQ(pair(0, 0)->dimension, TextureDimension::Texture2D);
    EXPECT_NE(c.shader.glsl.find("uniform samplerCube " + pair(5, 0)->glslName + ";"), std::string::npos);
    EXPECT_NE(c.shader.glsl.find("texelFetch(" + pair(2, SamplerBinding::kNoSampler)->glslName), std::string::npos);
}

}  // namespace
}  // namespace quarvel::hlsl::test
