// Vertex and pixel shaders compiled apart meet in one GL program by semantic, as Direct3D
// matches them, whatever order each declares its varyings in; vertex inputs sit at the
// locations the blob gives for their semantics.
#include <gtest/gtest.h>

#include "test_support.h"

namespace quarvel::hlsl::test {
namespace {

// A full-screen triangle with w = 2, so the pixel shader can tell the clip w (Direct3D's
// SV_Position.w) from its reciprocal (GL's gl_FragCoord.w).
const char* kVertex = R"(
struct VSOut { float4 pos : SV_Position; float4 colour : COLOR0; float2 uv : TEXCOORD0; float3 normal : TEXCOORD1;
               nointerpolation int id : BLENDINDICES; };
VSOut VS(uint id : SV_VertexID, float4 extra : TEXCOORD5, float2 more : TEXCOORD2)
{
    VSOut o;
    o.pos = float4(float((id << 1) & 2) * 4 - 2, float(id & 2) * 4 - 2, 0, 2);
    o.colour = float4(0.25, 0.5, 0.75, 1) + extra;
    o.uv = float2(3, 4) + more;
    o.normal = float3(5, 6, 7);
    o.id = 9;
    return o;
}
)";

TEST(HlslGlLink, VaryingsMatchBySemanticInAnyOrder) {
    std::string why;
    ASSERT_TRUE(EnsureGlContext(why)) << why;
    // Another order, other spellings of the same semantics, and only a subset read.
    const Compiled ps = Compile(R"(
struct PSIn { float3 normal : TEXCOORD1; nointerpolation int id : BLENDINDICES0; float4 pos : SV_POSITION;
              float2 uv : TexCoord0; float4 colour : COLOR; };
float4 PS(PSIn i) : SV_Target { return float4(i.normal.z, i.uv.y, i.colour.y + i.id, i.pos.w); })",
                                "PS", "ps_5_0");
    const Compiled vs = Compile(kVertex, "VS", "vs_4_0");
    ASSERT_TRUE(vs.blobRead && ps.blobRead) << vs.messages << ps.messages;
    std::string log;
    const GLuint program = LinkProgram(vs.shader.glsl, ps.shader.glsl, log);
    ASSERT_NE(program, 0u) << log << "\n" << vs.shader.glsl << "\n" << ps.shader.glsl;

    // With no buffer bound, each input reads its generic value at the location the blob gives.
    ASSERT_EQ(vs.shader.inputs.size(), 2u);
    for (const VertexInput& in : vs.shader.inputs) {
        ASSERT_EQ(in.semantic, "TEXCOORD");
        if (in.semanticIndex == 5) glVertexAttrib4f(in.location, 0, 0.125f, 0, 0);
        if (in.semanticIndex == 2) glVertexAttrib4f(in.location, 0, 100, 0, 0);
    }
    const std::vector<float> pixel = DrawRow(program, 1), expected = {7, 104, 0.625f + 9, 2};
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(pixel[i], expected[i]) << i;  // the last is SV_Position.w: the clip w
    glDeleteProgram(program);

    // A pixel shader reading a semantic the vertex shader never writes does not link, as
    // Direct3D would refuse the pair.
    const Compiled stray = Compile("float4 PS(float4 c : TEXCOORD7) : SV_Target { return c; }", "PS", "ps_5_0");
    ASSERT_TRUE(stray.blobRead) << stray.messages;
    EXPECT_EQ(LinkProgram(vs.shader.glsl, stray.shader.glsl, log), 0u);
}

}  // namespace
}  // namespace quarvel::hlsl::test
