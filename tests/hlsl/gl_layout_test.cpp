// The repack table proven against the GL driver: for every value of a cbuffer, the byte
// where Direct3D packs it must be carried to the byte where the driver's std140 layout of
// our GLSL reads it; and bytes packed the Direct3D way, uploaded through the table, must
// reach the shader as the values the CPU wrote.
#include <gtest/gtest.h>

#include <cstring>
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

TEST_F(HlslGlLayout, IntMixesMatricesAndStructs) {
    Check(std::string(R"(cbuffer cbGlobal : register(b2) { int effect; int3 res2; float4 FFT[32]; };
float4 PS() : SV_Target { return effect + res2.y + FFT[31].x; })") + kVertex,
          "cbGlobal", {{"effect", 0, 4}, {"res2", 4, 12}, {"FFT[0]", 16, 16, 32}});
    // column_major float4x4 and float3x3 (columns on registers), row_major float2x3 (two
    // rows of three) and column_major float4x3 (three columns of four), each followed by a float.
    Check(std::string(R"(struct Light { float a; float3 dir; float2 b; };
cbuffer cb { float4x4 World; float3x3 N; float f; row_major float2x3 R; float g; float4x3 T; float h;
             Light light; float y; };
float4 PS() : SV_Target { return mul(float4(1, 2, 3, 4), World) + N[1].x + f + R[1].z + g + T[3].x + h + light.dir.y
                                 + light.b.x + y; })") +
              kVertex,
          "cb",
          {{"World", 0, 16, 1, 4}, {"N", 64, 12, 1, 3}, {"f", 108, 4}, {"R", 112, 12, 1, 2}, {"g", 140, 4},
           {"T", 144, 16, 1, 3}, {"h", 192, 4}, {"light.a", 208, 4}, {"light.dir", 212, 12}, {"light.b", 224, 8},
           {"y", 232, 4}});
}

TEST_F(HlslGlLayout, PackoffsetAndGlobalRegistersAreTakenAsWritten) {
    const std::string source = std::string(R"(cbuffer cb : register(b1) {
    float4 second : packoffset(c1);
    float2 first : packoffset(c0.z);
    float arr[2] : packoffset(c2);
    float last : packoffset(c3.y);
};
float loose;
float4 other : register(c2);
float4 PS() : SV_Target { return second + first.y + arr[1] + last + other + loose; })") + kVertex;
    Check(source, "cb", {{"second", 16, 16}, {"first", 8, 8}, {"arr[0]", 32, 4, 2}, {"last", 52, 4}});
    Check(source, "$Globals", {{"loose", 0, 4}, {"other", 32, 16}});
}

// The whole way: bytes packed as Direct3D packs them, uploaded through the table, read by
// the shader and written to a float target.
TEST_F(HlslGlLayout, PackedBytesReachTheShaderAsWritten) {
    const std::string source = R"(
cbuffer cb : register(b1) { float a; float3 b; float arr[3]; float c; float4x4 M; int i; float3x3 N; float2 d; };
float4 VS(uint id : SV_VertexID) : SV_Position
{
    return float4(float((id << 1) & 2) * 2 - 1, float(id & 2) * 2 - 1, 0, 1);
}
float4 PS(float4 pos : SV_Position) : SV_Target
{
    int x = int(pos.x);
    if (x == 0) return float4(a, b);
    if (x == 1) return float4(arr[0], arr[1], arr[2], c);
    if (x == 2) return mul(float4(1, 2, 3, 4), M);
    if (x == 3) return float4(i, N[1][2], d);
    return float4(N[0][0], N[2][1], N[0][2], N[2][0]);
}
)";
    const Compiled vs = Compile(source, "VS", "vs_4_0");
    const Compiled ps = Compile(source, "PS", "ps_5_0");
    ASSERT_EQ(vs.hr, S_OK) << vs.messages;
    ASSERT_EQ(ps.hr, S_OK) << ps.messages;
    std::string log;
    const GLuint program = LinkProgram(vs.shader.glsl, ps.shader.glsl, log);
    ASSERT_NE(program, 0u) << log;

    // The buffer as a Direct3D program fills it; matrices column-major, M[r][c] at 16c + 4r.
    std::vector<uint8_t> d3d(208, 0);
    auto put = [&](uint32_t offset, float v) { std::memcpy(&d3d[offset], &v, 4); };
    for (uint32_t k = 0; k < 4; ++k) put(4 * k, float(k + 1));  // a, b
    put(16, 5), put(32, 6), put(48, 7), put(52, 8);            // arr, c
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) put(64 + 16 * c + 4 * r, c == r ? float(c + 1) : (r == 3 ? 10.0f : 0.0f));
    const int32_t i = -3;
    std::memcpy(&d3d[128], &i, 4);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) put(144 + 16 * c + 4 * r, float(10 * r + c));
    put(192, 0.25f), put(196, 0.5f);  // d

    ASSERT_EQ(ps.shader.blocks.size(), 1u);
    const ConstantBlock& block = ps.shader.blocks[0];
    ASSERT_EQ(block.d3dSize, d3d.size());
    ASSERT_FALSE(block.repack.empty()) << "the layouts differ after arr";
    std::vector<uint8_t> gl(block.glSize, 0);
    for (const CopyRange& r : block.repack) std::memcpy(&gl[r.glOffset], &d3d[r.d3dOffset], r.size);
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_UNIFORM_BUFFER, buffer);
    glBufferData(GL_UNIFORM_BUFFER, static_cast<GLsizeiptr>(gl.size()), gl.data(), GL_STATIC_DRAW);
    glUniformBlockBinding(program, glGetUniformBlockIndex(program, block.glslBlockName.c_str()), block.slot);
    glBindBufferBase(GL_UNIFORM_BUFFER, block.slot, buffer);

    const std::vector<float> pixels = DrawRow(program, 5);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const float expected[5][4] = {
        {1, 2, 3, 4},
        {5, 6, 7, 8},
        // v = (1, 2, 3, 4): column c is (c + 1) on the diagonal and 10 in row 3.
        {1 * 1 + 4 * 10, 2 * 2 + 4 * 10, 3 * 3 + 4 * 10, 4 * 4},
        {-3, 12, 0.25f, 0.5f},
        {0, 21, 2, 20},
    };
    for (int x = 0; x < 5; ++x)
        for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(pixels[4 * x + k], expected[x][k]) << "pixel " << x << " value " << k;
    glDeleteBuffers(1, &buffer);
    glDeleteProgram(program);
}

}  // namespace
}  // namespace quarvel::hlsl::test
