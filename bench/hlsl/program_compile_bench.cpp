// What each of the system's 31 programs costs to build, against what a native GL program
// would pay for the same shaders:
//   SystemCompile/<file>:<pixel entry>   D3DCompile of both entries (glslang, SPIRV-Tools,
//                                        SPIRV-Cross), the code blobs read back, then the GL
//                                        driver's compile and link of the GLSL they carry
//   GlCompileLink/<file>:<pixel entry>   the driver's compile and link of that GLSL alone
// Mesa's shader cache is off, so neither side finds an earlier compile. The machine code
// llvmpipe generates at a program's first draw is left out of both.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <string>

#include "test_support.h"

namespace quarvel::hlsl {
namespace {

struct Entry {
    const test::SystemProgram* program;
    std::string source;
};

bool CompileBoth(const Entry& e, CompiledShader& vs, CompiledShader& ps, std::string& why) {
    test::Compiled v = test::Compile(e.source, e.program->vertexEntry, "vs_4_0", e.program->file);
    test::Compiled p = test::Compile(e.source, e.program->pixelEntry, "ps_5_0", e.program->file);
    if (FAILED(v.hr) || FAILED(p.hr) || !v.blobRead || !p.blobRead) {
        why = v.messages + p.messages;
        if (why.empty()) why = "the code blobs cannot be read";
        return false;
    }
    vs = std::move(v.shader);
    ps = std::move(p.shader);
    return true;
}

bool GlReady(benchmark::State& state) {
    std::string why;
    if (test::EnsureGlContext(why)) return true;
    state.SkipWithError(why.c_str());
    return false;
}

void SystemCompile(benchmark::State& state, const Entry* e) {
    if (!GlReady(state)) return;
    for (auto _ : state) {
        CompiledShader vs, ps;
        std::string log;
        if (!CompileBoth(*e, vs, ps, log)) return state.SkipWithError(log.c_str());
        const GLuint program = test::LinkProgram(vs.glsl, ps.glsl, log);
        if (!program) return state.SkipWithError(log.c_str());
        glDeleteProgram(program);
    }
}

void GlCompileLink(benchmark::State& state, const Entry* e) {
    if (!GlReady(state)) return;
    CompiledShader vs, ps;
    std::string log;
    if (!CompileBoth(*e, vs, ps, log)) return state.SkipWithError(log.c_str());
    for (auto _ : state) {
        const GLuint program = test::LinkProgram(vs.glsl, ps.glsl, log);
        if (!program) return state.SkipWithError(log.c_str());
        glDeleteProgram(program);
    }
}

}  // namespace
}  // namespace quarvel::hlsl

int main(int argc, char** argv) {
    using namespace quarvel::hlsl;
    // Before any context exists, so the driver never finds a cached compile.
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    static std::vector<Entry> entries;
    for (const test::SystemProgram& p : test::kSystemPrograms)
        entries.push_back({&p, test::ReadFile(std::string(QUARVEL_SOURCE_SHADERS) + "/" + p.file)});
    // Each program's two sides one after the other, so a change in the machine's load
    // between programs touches both alike.
    for (const Entry& e : entries) {
        const std::string name = std::string(e.program->file) + ":" + e.program->pixelEntry;
        benchmark::RegisterBenchmark(("SystemCompile/" + name).c_str(), SystemCompile, &e)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.2);
        benchmark::RegisterBenchmark(("GlCompileLink/" + name).c_str(), GlCompileLink, &e)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.2);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
