// The frame benchmarks' unit: one textured full-screen pass in plain GL.
#include "frame_baselines.h"
#include "plain_gl.h"
#include "test_support.h"

namespace quarvel::bench {
namespace {

const char* const kPixelSource = R"(#version 450
uniform sampler2D picture;
in vec2 tex;
layout(location = 0) out vec4 colour;
void main() { colour = texture(picture, tex); }
)";

}  // namespace

void PlainFullScreenPass(benchmark::State& state, int width, int height) {
    PlainGlScope scope;
    if (!scope.ok()) return state.SkipWithError(scope.why().c_str());
    std::string log;
    const GLuint program = hlsl::test::LinkProgram(kPlainQuadVertexSource, kPixelSource, log);
    const GLuint picture = LoadPlainTexture("Data/_neon_sunset_SUN_and_MNTNS.png");
    if (!program || !picture) {
        glDeleteProgram(program);
        glDeleteTextures(1, &picture);
        return state.SkipWithError(program ? "the sky picture cannot be read" : log.c_str());
    }
    PlainQuad quad = MakePlainQuad();
    PlainTarget target = MakePlainTarget(width, height);
    glUseProgram(program);
    glBindVertexArray(quad.vertexArray);
    glBindTextureUnit(0, picture);
    for (auto _ : state) {
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glFinish();
    }
    FreePlainTarget(target);
    FreePlainQuad(quad);
    glDeleteTextures(1, &picture);
    glDeleteProgram(program);
}

}  // namespace quarvel::bench
