// The cost of turning one HLSL program into a runnable GL program, step by step, for a
// small shader (a tinted sprite) and a large one (the ray-marched sea with its loops):
//   Parse      glslang: HLSL to SPIR-V (parse, link, I/O mapping, SPIR-V generation)
//   Legalize   SPIRV-Tools: glslang's HLSL legalization and optimization passes
//   Translate  SPIRV-Cross: SPIR-V to GLSL, with reflection and the std140 rewrite
//   GlLink     the GL driver: compile both stages and link
//   GlFirstDraw  link plus the first draw, where llvmpipe generates its machine code
//                (Mesa's shader cache is off so every iteration pays it)
// Every program of the system end to end: program_compile_bench.
#include <benchmark/benchmark.h>

#include <d3dcompiler.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "test_support.h"
#include "hlsl/glsl_back_end.h"
#include "hlsl/hlsl_front_end.h"

namespace quarvel::hlsl {
namespace {

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct Shader {
    const char* file;
    const char* entry;
    ShaderStage stage;
};

// Index by the benchmark argument: 0 small, 1 large; each a pixel shader with its vertex shader.
const Shader kPixel[] = {{"Shaders2D.fx", "Texture2DPS", ShaderStage::Pixel},
                         {"FractalCloud.hlsl", "FractalCloudPS", ShaderStage::Pixel}};
const Shader kVertex[] = {{"Shaders2D.fx", "VS", ShaderStage::Vertex},
                          {"FractalCloud.hlsl", "VS", ShaderStage::Vertex}};

struct Input {
    std::string source;
    FrontEndInput input;
};

Input Prepare(const Shader& s) {
    Input in;
    in.source = Read(std::string(QUARVEL_SOURCE_SHADERS) + "/" + s.file);
    in.input.source = in.source;
    in.input.sourceName = s.file;
    in.input.entry = s.entry;
    in.input.stage = s.stage;
    in.input.flags = D3DCOMPILE_ENABLE_STRICTNESS;
    return in;
}

// Runs all three translation steps; false when any fails.
bool Translate(const Shader& s, CompiledShader& out) {
    Input in = Prepare(s);
    Diagnostics d(s.file);
    FrontEnd fe;
    return fe.Parse(in.input, d) && fe.Legalize(d) && TranslateToGlsl(fe.Spirv(), s.stage, fe.Offsets(), out, d);
}

void BM_Parse(benchmark::State& state) {
    Input in = Prepare(kPixel[state.range(0)]);
    for (auto _ : state) {
        Diagnostics d(in.input.sourceName);
        FrontEnd fe;
        if (!fe.Parse(in.input, d)) state.SkipWithError(d.Text().c_str());
        benchmark::DoNotOptimize(fe.Spirv().data());
    }
}

void BM_Legalize(benchmark::State& state) {
    Input in = Prepare(kPixel[state.range(0)]);
    for (auto _ : state) {
        Diagnostics d(in.input.sourceName);
        FrontEnd fe;
        if (!fe.Parse(in.input, d)) state.SkipWithError(d.Text().c_str());
        const auto start = std::chrono::steady_clock::now();
        fe.Legalize(d);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

void BM_Translate(benchmark::State& state) {
    Input in = Prepare(kPixel[state.range(0)]);
    Diagnostics d(in.input.sourceName);
    FrontEnd fe;
    if (!fe.Parse(in.input, d) || !fe.Legalize(d)) {
        state.SkipWithError(d.Text().c_str());
        return;
    }
    for (auto _ : state) {
        CompiledShader out;
        if (!TranslateToGlsl(fe.Spirv(), kPixel[state.range(0)].stage, fe.Offsets(), out, d))
            state.SkipWithError(d.Text().c_str());
        benchmark::DoNotOptimize(out.glsl.data());
    }
}

bool GlReady(benchmark::State& state) {
    // Before the context exists, so the driver never finds a cached compile.
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    std::string why;
    if (!test::EnsureGlContext(why)) {
        state.SkipWithError(why.c_str());
        return false;
    }
    return true;
}

void BM_GlLink(benchmark::State& state) {
    if (!GlReady(state)) return;
    CompiledShader vs, ps;
    if (!Translate(kVertex[state.range(0)], vs) || !Translate(kPixel[state.range(0)], ps)) {
        state.SkipWithError("translation failed");
        return;
    }
    for (auto _ : state) {
        std::string log;
        const GLuint program = test::LinkProgram(vs.glsl, ps.glsl, log);
        if (!program) state.SkipWithError(log.c_str());
        glDeleteProgram(program);
    }
}

void BM_GlFirstDraw(benchmark::State& state) {
    if (!GlReady(state)) return;
    CompiledShader vs, ps;
    if (!Translate(kVertex[state.range(0)], vs) || !Translate(kPixel[state.range(0)], ps)) {
        state.SkipWithError("translation failed");
        return;
    }
    GLuint texture = 0, framebuffer = 0, vao = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexStorage2D(GL_TEXTURE_2D, 1, GL_RGBA8, 16, 16);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glViewport(0, 0, 16, 16);
    for (auto _ : state) {
        std::string log;
        const GLuint program = test::LinkProgram(vs.glsl, ps.glsl, log);
        if (!program) state.SkipWithError(log.c_str());
        glUseProgram(program);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        glFinish();
        glUseProgram(0);
        glDeleteProgram(program);
    }
    glDeleteVertexArrays(1, &vao);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
}

BENCHMARK(BM_Parse)->Arg(0)->Arg(1)->ArgName("large")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Legalize)->Arg(0)->Arg(1)->ArgName("large")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Translate)->Arg(0)->Arg(1)->ArgName("large")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlLink)->Arg(0)->Arg(1)->ArgName("large")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlFirstDraw)->Arg(0)->Arg(1)->ArgName("large")->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quarvel::hlsl
