// The repack table proven against the GL driver: for every value of a cbuffer, the byte
// where Direct3D packs it must be carried to the byte where the driver's std140 layout of
// our GLSL reads it.
#include <gtest/gtest.h>

#include <optional>

#include "test_support.h"

namespace quarvel::hlsl::test {
namespace {

// A value in the block: `name` as GL reports it, the Direct3D offset we expect, and its shape.
struct Expected {
    std::string name;
    uint32_t d3dOffset;
    uint32_t bytes;          // of one vector: 4 per component
    uint32_t elements = 1;   // array length
    uint32_t vectors = 1;    // contiguous vectors of a matrix
};

// Where the repack table puts `size` bytes found at Direct3D offset `d3d`; nullopt when no
// single range carries them.
std::optional<uint32_t> Carry(const ConstantBlock& block, uint32_t d3d, uint32_t size) {
    if (block.repack.empty()) return d3d + size <= std::min(block.d3dSize, block.glSize) ? std::optional(d3d) : std::nullopt;
    for (const CopyRange& r : block.repack)
        if (d3d >= r.d3dOffset && d3d + size <= r.d3dOffset + r.size) return r.glOffset + (d3d - r.d3dOffset);
    return std::nullopt;
}

class HlslGlLayout : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!EnsureGlContext(why)) GTEST_FAIL() << why;
    }

    // Compiles `source`'s "VS" and "PS", links them and checks each expected value of the
    // pixel shader's block `blockName`.
    void Check(const std::string& source, const std::string& blockName, const std::vector<Expected>& values) {
        const Compiled vs = Compile(source, "VS", "vs_4_0");
        const Compiled ps = Compile(source, "PS", "ps_5_0");
        ASSERT_EQ(vs.hr, S_OK) << vs.messages;
        ASSERT_EQ(ps.hr, S_OK) << ps.messages;
        const ConstantBlock* block = nullptr;
        for (const ConstantBlock& b : ps.shader.blocks)
            if (b.name == blockName) block = &b;
        ASSERT_NE(block, nullptr) << blockName;
        std::string log;
        const GLuint program = LinkProgram(vs.shader.glsl, ps.shader.glsl, log);
        ASSERT_NE(program, 0u) << log << "\n" << ps.shader.glsl;

        const GLuint index = glGetUniformBlockIndex(program, block->glslBlockName.c_str());
        ASSERT_NE(index, GL_INVALID_INDEX) << block->glslBlockName;
        GLint size = 0;
        glGetActiveUniformBlockiv(program, index, GL_UNIFORM_BLOCK_DATA_SIZE, &size);
        EXPECT_EQ(static_cast<uint32_t>(size), block->glSize) << blockName;

        for (const Expected& v : values) {
            const std::string glName = block->glslBlockName + "." + v.name;
            const char* names[] = {glName.c_str()};
            GLuint uniform = GL_INVALID_INDEX;
            glGetUniformIndices(program, 1, names, &uniform);
            ASSERT_NE(uniform, GL_INVALID_INDEX) << glName << "\n" << ps.shader.glsl;
            GLint offset = 0, arrayStride = 0, matrixStride = 0;
            glGetActiveUniformsiv(program, 1, &uniform, GL_UNIFORM_OFFSET, &offset);
            glGetActiveUniformsiv(program, 1, &uniform, GL_UNIFORM_ARRAY_STRIDE, &arrayStride);
            glGetActiveUniformsiv(program, 1, &uniform, GL_UNIFORM_MATRIX_STRIDE, &matrixStride);
            for (uint32_t e = 0; e < v.elements; ++e) {
                for (uint32_t k = 0; k < v.vectors; ++k) {
                    // Direct3D: every array element and matrix vector on its own 16-byte register.
                    const uint32_t d3d = v.d3dOffset + e * 16 * v.vectors + k * 16;
                    const uint32_t gl = static_cast<uint32_t>(offset + e * arrayStride + k * matrixStride);
                    EXPECT_EQ(Carry(*block, d3d, v.bytes), std::optional(gl))
                        << glName << " element " << e << " vector " << k << " (Direct3D byte " << d3d << ")";
                }
            }
        }
        glDeleteProgram(program);
    }
};

const char* kVertex = "\nfloat4 VS(uint id : SV_VertexID) : SV_Position { return float4(id, 0, 0, 1); }\n";

TEST_F(HlslGlLayout, VectorsNeverStraddleAndArraysLeaveTheirTail) {
    // e (a float2 at 28) and g (a float3 at 44) would cross a register and move on; arrays
    // start a register and the next member packs into their last one.
    Check(std::string(R"(cbuffer cb : register(b0) { float a; float3 b; float c; float2 d; float2 e; float f; float3 g;
    int4 h; float arr[3]; float after; float2 v[2]; float2 tail; };
float4 PS() : SV_Target { return a + b.x + c + d.x + e.x + f + g.x + h.x + arr[1] + after + v[1].x + tail.y; })") +
              kVertex,
          "cb",
          {{"a", 0, 4}, {"b", 4, 12}, {"c", 16, 4}, {"d", 20, 8}, {"e", 32, 8}, {"f", 40, 4}, {"g", 48, 12},
           {"h", 64, 16}, {"arr[0]", 80, 4, 3}, {"after", 116, 4}, {"v[0]", 128, 8, 2}, {"tail", 152, 8}});
}

TEST_F(HlslGlLayout, IntsArraysAndMatrices) {
    Check(std::string(R"(cbuffer cbGlobal : register(b2) { int effect; int3 res2; float4 FFT[32]; };
float4 PS() : SV_Target { return effect + res2.y + FFT[31].x; })") + kVertex,
          "cbGlobal", {{"effect", 0, 4}, {"res2", 4, 12}, {"FFT[0]", 16, 16, 32}});
    // Matrices take a register per column (column_major, as the system's are), and the
    // member after one starts a register of its own.
    Check(std::string(R"(cbuffer cb { float4x4 World; float3x3 N; float f; float h; };
float4 PS() : SV_Target { return mul(float4(1, 2, 3, 4), World) + N[1].x + f + h; })") + kVertex,
          "cb", {{"World", 0, 16, 1, 4}, {"N", 64, 12, 1, 3}, {"f", 108, 4}, {"h", 112, 4}});
}

}  // namespace
}  // namespace quarvel::hlsl::test
