// Every program of the system's own Shaders/ folder compiles, and its GLSL compiles and links
// in the GL driver.
#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace quarvel::hlsl::test {
namespace {

// Compiles the pair as the system does (vs_4_0 and ps_5_0, strictness on, the source path as
// the name) and links it; the blob's blocks and samplers must be the ones GL knows.
void CompileAndLink(const std::string& source, const std::string& name, const SystemProgram& p) {
    const Compiled vs = Compile(source, p.vertexEntry, "vs_4_0", name.c_str());
    const Compiled ps = Compile(source, p.pixelEntry, "ps_5_0", name.c_str());
    ASSERT_TRUE(vs.blobRead) << name << " " << p.vertexEntry << "\n" << vs.messages;
    ASSERT_TRUE(ps.blobRead) << name << " " << p.pixelEntry << "\n" << ps.messages;
    std::string log;
    const GLuint program = LinkProgram(vs.shader.glsl, ps.shader.glsl, log);
    ASSERT_NE(program, 0u) << name << " " << p.vertexEntry << "+" << p.pixelEntry << "\n" << log;
    for (const ConstantBlock& b : ps.shader.blocks) {
        const GLuint index = glGetUniformBlockIndex(program, b.glslBlockName.c_str());
        ASSERT_NE(index, GL_INVALID_INDEX) << name << " " << b.name;
        GLint size = 0;
        glGetActiveUniformBlockiv(program, index, GL_UNIFORM_BLOCK_DATA_SIZE, &size);
        EXPECT_EQ(static_cast<uint32_t>(size), b.glSize) << name << " " << b.name;
    }
    for (const SamplerBinding& s : ps.shader.samplers)
        EXPECT_NE(glGetUniformLocation(program, s.glslName.c_str()), -1) << name << " " << s.glslName;
    glDeleteProgram(program);
}

TEST(HlslCorpus, SystemShadersCompileAndLink) {
    std::string why;
    ASSERT_TRUE(EnsureGlContext(why)) << why;
    for (const SystemProgram& p : kSystemPrograms) {
        const std::filesystem::path path = std::filesystem::path(QUARVEL_SOURCE_SHADERS) / p.file;
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        // The system passes Bloom's path with a backslash.
        const std::string file = p.file;
        CompileAndLink(ReadFile(path.string()), file == "Bloom.hlsl" ? "Shaders\\Bloom.hlsl" : "Shaders/" + file, p);
    }
}

}  // namespace
}  // namespace quarvel::hlsl::test
