// CreateShaderProgram and CompileShader against the real compiler and device: what is
// compiled, what is shown, and what enters the registry.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <tuple>

#include "gfx/graphics_context.h"
#include "gfx/shader_program.h"
#include "gfx_test_support.h"
#include "pack_format.h"
#include "scratch.h"

namespace {

using gfx_test::Intercepted;

const char kSource[] =
    "cbuffer cb : register(b0) { float4 vColor; };\n"
    "struct V { float4 Pos : SV_POSITION; float2 Tex : TEXCOORD0; };\n"
    "V VS(float4 p : POSITION, float2 t : TEXCOORD0) { V v; v.Pos = p; v.Tex = t; return v; }\n"
    "float4 PS(V v) : SV_Target { return vColor; }\n";

class ShaderProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        gfx_test::ResetIntercepts();
        ASSERT_NE(gfx_test::CreateMainWindow(64, 36), nullptr);
        ASSERT_TRUE(InitGraphics(true));
        standardPrograms = graphics.programCount;
        gfx_test::ResetIntercepts();
    }
    void TearDown() override {
        for (ShaderProgram*& program : made) ReleaseShaderProgram(program);
        ReleaseGraphics();
        gfx_test::DestroyMainWindow();
    }

    // Writes <dir>/<name>.shader from `text` and returns the source path a program names.
    std::string Pack(const std::string& name, const std::string& text) {
        std::vector<uint8_t> packed;
        std::string error;
        EXPECT_TRUE(quarvel::shader_pack::PackShaderText(text, 6, packed, error));
        EXPECT_TRUE(quarvel::test::WriteWholeFile(dir / (name + ".shader"), packed.data(), packed.size()));
        return dir / (name + ".fx");
    }

    ShaderProgram* Create(const std::string& path, const char* pixelEntry = "PS", const char* vertexEntry = "VS",
                          const D3D11_INPUT_ELEMENT_DESC* layout = screenLayout, UINT elements = 2) {
        ShaderProgram* program = CreateShaderProgram(path.c_str(), pixelEntry, vertexEntry, layout, elements, 16);
        made.push_back(program);
        return program;
    }

    bool Registered(const ShaderProgram* program) const {
        for (UINT32 i = 0; i < graphics.programCount; ++i)
            if (graphics.programRegistry[i] == program) return true;
        return false;
    }

    // A program that holds nothing and is not registered.
    void ExpectEmpty(const ShaderProgram* program, bool vertexHalf = false) const {
        ASSERT_NE(program, nullptr);
        EXPECT_EQ(program->vertexShader != nullptr, vertexHalf);
        EXPECT_EQ(program->inputLayout != nullptr, vertexHalf);
        EXPECT_EQ(program->pixelShader, nullptr);
        EXPECT_EQ(program->constants, nullptr);
        EXPECT_FALSE(Registered(program));
    }

    quarvel::test::ScratchFolder dir;
    UINT32 standardPrograms = 0;
    std::vector<ShaderProgram*> made;
};

TEST_F(ShaderProgramTest, StandardSourcesCompileWithoutMessages) {
    EXPECT_EQ(standardPrograms, 10u);
    // Start-up already compiled this pair; without its kept code it is compiled again.
    ReleaseCompiledShaders();
    // Each stage's target is fixed; the source name is the plain path, not the packed file.
    ShaderProgram* program = Create("Shaders/Shaders3D.fx", "HemispherePS", "VS", meshLayout, 3);
    ASSERT_EQ(Intercepted().compiles.size(), 2u);
    const gfx_test::CompileCall& vertex = Intercepted().compiles[0];
    const gfx_test::CompileCall& pixel = Intercepted().compiles[1];
    EXPECT_EQ(std::tie(vertex.entry, vertex.target, pixel.entry, pixel.target, vertex.sourceName),
              std::make_tuple("VS", "vs_4_0", "HemispherePS", "ps_5_0", "Shaders/Shaders3D.fx"));
    EXPECT_EQ(vertex.flags1, UINT(D3DCOMPILE_ENABLE_STRICTNESS));
    EXPECT_TRUE(Intercepted().messageBoxes.empty());

    // The record keeps what it was made from (the source's file time is the Win32 tests').
    EXPECT_STREQ(program->sourcePath, "Shaders/Shaders3D.fx");
    EXPECT_STREQ(program->pixelEntry, "HemispherePS");
    EXPECT_TRUE(program->pixelShader && program->constants);
    EXPECT_EQ(program->constantsSize, 16u);
}

// Programs of one file share its vertex shader: the same text, entry and target are
// compiled once, whatever the path, and every caller gets code it may release.
TEST_F(ShaderProgramTest, SameTextEntryAndTargetCompileOnce) {
    const std::string first = Pack("first", kSource), copy = Pack("copy", kSource);
    ID3DBlob* code[2] = {};
    ASSERT_EQ(CompileShader(first.c_str(), "VS", "vs_4_0", &code[0]), S_OK);
    ASSERT_EQ(CompileShader(copy.c_str(), "VS", "vs_4_0", &code[1]), S_OK);
    EXPECT_EQ(Intercepted().compiles.size(), 1u);
    ASSERT_EQ(code[0]->GetBufferSize(), code[1]->GetBufferSize());
    EXPECT_EQ(memcmp(code[0]->GetBufferPointer(), code[1]->GetBufferPointer(), code[0]->GetBufferSize()), 0);
    code[0]->Release();
    code[1]->Release();

    // What the callers let go of stays usable for the next one; each program is a record
    // and objects of its own, registered in creation order.
    Create(first);
    Create(copy);
    EXPECT_EQ(Intercepted().compiles.size(), 2u);  // only PS is new
    ASSERT_EQ(graphics.programCount, standardPrograms + 2);
    EXPECT_EQ(graphics.programRegistry[standardPrograms], made[0]);
    EXPECT_EQ(graphics.programRegistry[standardPrograms + 1], made[1]);
    EXPECT_NE(made[0]->vertexShader, made[1]->vertexShader);
    EXPECT_NE(made[0]->constants, made[1]->constants);

    // Another target, another entry or one changed character is a compile of its own.
    ID3DBlob* other = nullptr;
    ASSERT_EQ(CompileShader(first.c_str(), "VS", "vs_5_0", &other), S_OK);
    other->Release();
    ASSERT_EQ(CompileShader(first.c_str(), "PS", "ps_4_0", &other), S_OK);
    other->Release();
    std::string changed = kSource;
    changed.back() = ' ';
    ASSERT_EQ(CompileShader(Pack("changed", changed).c_str(), "VS", "vs_4_0", &other), S_OK);
    other->Release();
    EXPECT_EQ(Intercepted().compiles.size(), 5u);

    ReleaseCompiledShaders();
    EXPECT_TRUE(Registered(Create(first)));
    EXPECT_EQ(Intercepted().compiles.size(), 7u);
}

TEST_F(ShaderProgramTest, CompileErrorShowsOneBoxPerProgram) {
    const std::string path = Pack("broken", std::string(kSource) + "float4 Oops( { }\n");
    ShaderProgram* first = Create(path);
    ShaderProgram* second = Create(path);
    ExpectEmpty(first);
    ExpectEmpty(second);
    // The failed vertex entry skips the pixel entry: one compile and one box each.
    EXPECT_EQ(Intercepted().compiles.size(), 2u);
    ASSERT_EQ(Intercepted().messageBoxes.size(), 2u);
    const gfx_test::MessageBoxCall& box = Intercepted().messageBoxes[0];
    EXPECT_EQ(std::tie(box.caption, box.owner, box.type), std::make_tuple("Error", HWND{}, UINT(MB_OK)));
    EXPECT_EQ(box.text.rfind(path, 0), 0u) << box.text;
    EXPECT_NE(Intercepted().debugOutput.find(box.text), std::string::npos);
    EXPECT_EQ(graphics.programCount, standardPrograms);
}

TEST_F(ShaderProgramTest, MissingPixelEntryKeepsTheVertexHalf) {
    ExpectEmpty(Create(Pack("nopixel", kSource), "NoSuchPS"), true);
    ASSERT_EQ(Intercepted().messageBoxes.size(), 1u);
    EXPECT_NE(Intercepted().messageBoxes[0].text.find("NoSuchPS"), std::string::npos);
}

TEST_F(ShaderProgramTest, ARecordThatCannotBeAllocatedIsAnEmptyProgram) {
    Intercepted().failingCallocs = 1;
    ShaderProgram* program = CreateShaderProgram(Pack("noroom", kSource).c_str(), "PS", "VS", screenLayout, 2, 16);
    ExpectEmpty(program);
    EXPECT_TRUE(Intercepted().compiles.empty()) << "nothing to compile into";
    ReleaseShaderProgram(program);
    EXPECT_EQ(program, nullptr);
}

TEST_F(ShaderProgramTest, WarningsShowNothing) {
    Intercepted().fakeCompiler = [](const gfx_test::CompileCall& call, ID3DBlob** code, ID3DBlob** errors) {
        const HRESULT hr = gfx_test::RealCompile(call, code, errors);
        if (SUCCEEDED(hr) && errors && !*errors) *errors = gfx_test::TextBlob(call.sourceName + "(1,1): warning X3206: w");
        return hr;
    };
    ShaderProgram* program = Create(Pack("warns", kSource));
    EXPECT_TRUE(Registered(program));
    EXPECT_TRUE(Intercepted().messageBoxes.empty());
}

}  // namespace
