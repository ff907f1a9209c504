// D3DCompile's contract with its callers: results and message text.
#include <gtest/gtest.h>

#include <regex>

#include "test_support.h"

namespace quarvel::hlsl::test {
namespace {

const char* kShader = R"(Texture2D tx : register(t0);
SamplerState sam : register(s0);
float4 PS(float4 pos : SV_Position, float2 uv : TEXCOORD0) : SV_Target { return tx.Sample(sam, uv); }
float4 VS(float3 p : POSITION) : SV_Position { return float4(p, 1); }
)";

TEST(HlslCompile, MessagesNameTheSourceLineAndColumnAndOnlyErrorsFail) {
    const std::string source = "float4 PS(float2 uv : TEXCOORD0) : SV_Target\n{\n    float k = 2;\n"
                               "    return float4(uv, missing, k);\n}\n";
    Compiled c = Compile(source, "PS", "ps_5_0", "Shaders/PostProcess.hlsl");
    EXPECT_EQ(c.hr, E_FAIL);
    EXPECT_FALSE(c.blobRead);
    // Named as the caller named the source; the column is that of the unknown name.
    EXPECT_EQ(c.messages.rfind("Shaders/PostProcess.hlsl(4,23): error X3004: 'missing'", 0), 0u) << c.messages;
    for (size_t start = 0, end; start < c.messages.size(); start = end + 1) {
        end = c.messages.find('\n', start);
        EXPECT_TRUE(std::regex_match(c.messages.substr(start, end - start),
                                     std::regex(R"(Shaders/PostProcess\.hlsl\(\d+,\d+\): (error|warning) X\d{4}: .+)")))
            << c.messages.substr(start, end - start);
    }
    // A syntax error points where the parser stopped.
    c = Compile("float4 PS() : SV_Target\n{\n    return float4(1, 2 3, 4);\n}\n", "PS", "ps_5_0", "Shaders\\Bloom.hlsl");
    EXPECT_EQ(c.messages.rfind("Shaders\\Bloom.hlsl(3,24): error X3000: ", 0), 0u) << c.messages;

    // Warnings do not fail.
    c = Compile(
        "Texture2D tx : register(ps_5_0, t0);\nSamplerState sam : register(s0);\n"
        "float4 PS(float2 uv : TEXCOORD0) : SV_Target { return tx.Sample(sam, uv); }\n",
        "PS", "ps_5_0", "Shaders/Shaders2D.fx");
    EXPECT_EQ(c.hr, S_OK);
    EXPECT_TRUE(c.blobRead);
    EXPECT_EQ(c.messages.rfind("Shaders/Shaders2D.fx(1,16): warning X", 0), 0u) << c.messages;
    EXPECT_EQ(Compile(kShader, "PS", "ps_5_0").messages, "") << "a clean compile gives no message blob";
}

TEST(HlslCompile, ReadsOnlyTheGivenBytes) {
    const std::string s = kShader;
    ID3DBlob* code = nullptr;
    // No terminating NUL and junk right after the length; the message blob is optional.
    const std::string padded = s + "#error beyond the end";
    EXPECT_EQ(D3DCompile(padded.data(), s.size(), "x", nullptr, nullptr, "PS", "ps_5_0", 0, 0, &code, nullptr), S_OK);
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->Release(), 0u);
}

}  // namespace
}  // namespace quarvel::hlsl::test
