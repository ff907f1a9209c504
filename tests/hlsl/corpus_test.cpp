// Whole shaders of the kinds the system draws with compile, and their GLSL compiles and
// links in the GL driver: the representative ones under data/, and every program of the
// system's own Shaders/ folder whose source file exists.
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

TEST(HlslCorpus, RepresentativeShadersCompileAndLink) {
    std::string why;
    ASSERT_TRUE(EnsureGlContext(why)) << why;
    const SystemProgram programs[] = {
        {"sprites.hlsl", "TTFPS", "VS"},       {"sprites.hlsl", "MergePS", "VS"},
        {"mesh.hlsl", "DiffuseTexturePS", "VS"}, {"mesh.hlsl", "DiffuseTextureCubemapPS", "VS"},
        {"mesh.hlsl", "SkyboxPS", "SkyboxVS"}, {"vhs.hlsl", "VHSPS", "VS"},
        {"sea.hlsl", "FractalCloudPS", "VS"},
    };
    for (const SystemProgram& p : programs) {
        const std::string source = ReadFile(std::string(QUARVEL_HLSL_TEST_DATA) + "/" + p.file);
        ASSERT_FALSE(source.empty()) << p.file;
        CompileAndLink(source, std::string("Shaders/") + p.file, p);
    }
}

TEST(HlslCorpus, SystemShadersCompileAndLink) {
    std::string why;
    ASSERT_TRUE(EnsureGlContext(why)) << why;
    int compiled = 0;
    for (const SystemProgram& p : kSystemPrograms) {
        const std::filesystem::path path = std::filesystem::path(QUARVEL_SOURCE_SHADERS) / p.file;
        if (!std::filesystem::exists(path)) {
            std::printf("not written yet: %s\n", path.string().c_str());
            continue;
        }
        // The system passes Bloom's path with a backslash.
        const std::string file = p.file;
        CompileAndLink(ReadFile(path.string()), file == "Bloom.hlsl" ? "Shaders\\Bloom.hlsl" : "Shaders/" + file, p);
        ++compiled;
    }
    if (compiled == 0) GTEST_SKIP() << "no shader sources in " << QUARVEL_SOURCE_SHADERS << " yet";
}

}  // namespace
}  // namespace quarvel::hlsl::test
