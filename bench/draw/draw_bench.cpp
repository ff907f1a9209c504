// Per-draw CPU cost of DrawBox and DrawSagStrip through the Direct3D stand-in, and of a plain
// OpenGL loop that makes the same uploads (vertices, the two constant blocks) and the same
// indexed draw into the same small target. The ratio of the two is the stand-in's overhead.
// The OpenGL loops run last: they change GL state behind the stand-in's back.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <string.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <vector>

#include "bench_window.h"
#include "draw/box_geometry.h"
#include "draw/camera.h"
#include "draw/constant_blocks.h"
#include "gfx/cube_data.h"
#include "gfx/graphics_context.h"

namespace {

const float kColour[4] = {0.5f, 0.2f, 0.9f, 1.0f};
RenderTarget target;

// A 64 x 64 target keeps the rasterizer's share of each draw small.
void BindSmallTarget() {
    D3D11_TEXTURE2D_DESC desc = {};
    desc.Width = desc.Height = 64;
    desc.MipLevels = desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    desc.SampleDesc.Count = 1;
    desc.BindFlags = D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE;
    graphics.device->CreateTexture2D(&desc, NULL, &target.texture);
    graphics.device->CreateRenderTargetView(target.texture, NULL, &target.rtv);
    graphics.context->OMSetRenderTargets(1, &target.rtv, NULL);
    D3D11_VIEWPORT viewport = {0, 0, 64, 64, 0, 1};
    graphics.context->RSSetViewports(1, &viewport);
    viewMatrix = XMMatrixLookToLH(XMVectorSet(0, 0, -3, 0), XMVectorSet(0, 0, 1, 0), XMVectorSet(0, 1, 0, 0));
    projectionMatrix = XMMatrixPerspectiveFovLH(XM_PIDIV4, 1280.0f / 720.0f, 0.01f, 500.0f);
}

void BM_DrawBox(benchmark::State& state) {
    const XMMATRIX world = XMMatrixTranslation(0.1f, 0.0f, 0.0f);
    for (auto _ : state) graphics.DrawBox(NULL, world, 0.2f, 0.3f, 0.4f, kColour);
    glFinish();
}
BENCHMARK(BM_DrawBox);

void BM_DrawSagStrip(benchmark::State& state) {
    const bool rebuild = state.range(0) != 0;
    const XMMATRIX world = XMMatrixTranslation(-1.0f, 0.0f, 0.0f);
    graphics.DrawSagStrip(NULL, world, 0.04f, 0.05f, 0.05f, kColour, 50.0f, true);
    for (auto _ : state) graphics.DrawSagStrip(NULL, world, 0.04f, 0.05f, 0.05f, kColour, 50.0f, rebuild);
    glFinish();
}
BENCHMARK(BM_DrawSagStrip)->ArgName("rebuild")->Arg(1)->Arg(0);

// --- the same work in plain OpenGL ---

// The GLSL of Shaders3D.fx's "VS" and "DiffuseTexturePS" written by hand, so that both sides
// shade the same vertices with the same work (llvmpipe runs vertex shading on the calling
// thread, so it is part of each draw's CPU cost).
const char* const vertexSource = R"(#version 450
layout(std140, binding = 0) uniform cbCube { mat4 World; mat4 View; mat4 Projection; mat4 WorldViewInverse;
                                             vec4 vMeshColor; vec3 CameraPosition; };
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texcoord;
layout(location = 2) in vec3 normal;
layout(location = 0) out vec2 tex;
layout(location = 1) out vec3 norm;
layout(location = 2) out vec3 viewDir;
layout(location = 3) out vec4 clipPos;
void main() {
    vec4 worldPos = vec4(position, 1.0) * World;
    gl_Position = worldPos * View * Projection;
    tex = texcoord;
    norm = normal * mat3(World);
    viewDir = CameraPosition - worldPos.xyz;
    clipPos = gl_Position;
}
)";
const char* const pixelSource = R"(#version 450
layout(std140, binding = 0) uniform cbCube { mat4 World; mat4 View; mat4 Projection; mat4 WorldViewInverse;
                                             vec4 vMeshColor; vec3 CameraPosition; };
layout(location = 3) in vec4 clipPos;
layout(location = 0) out vec4 colour;
void main() { colour = vec4(vMeshColor.rgb, pow(clamp(clipPos.z / clipPos.w, 0.0, 1.0), 0.1)); }
)";

struct GlBoxes {
    GLuint program = 0, vertexArray = 0, vertices = 0, indices = 0, transforms = 0, light = 0;
};

GLuint Compile(GLenum stage, const char* source) {
    const GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, NULL);
    glCompileShader(shader);
    return shader;
}

GlBoxes MakeGlBoxes(GLsizeiptr vertexBytes, const std::vector<WORD>& indexData) {
    GlBoxes gl;
    gl.program = glCreateProgram();
    const GLuint vs = Compile(GL_VERTEX_SHADER, vertexSource), ps = Compile(GL_FRAGMENT_SHADER, pixelSource);
    glAttachShader(gl.program, vs);
    glAttachShader(gl.program, ps);
    glLinkProgram(gl.program);
    glDeleteShader(vs);
    glDeleteShader(ps);
    glCreateBuffers(1, &gl.vertices);
    glNamedBufferData(gl.vertices, vertexBytes, NULL, GL_DYNAMIC_DRAW);
    glCreateBuffers(1, &gl.indices);
    glNamedBufferData(gl.indices, (GLsizeiptr)(indexData.size() * sizeof(WORD)), indexData.data(), GL_STATIC_DRAW);
    glCreateBuffers(1, &gl.transforms);
    glNamedBufferData(gl.transforms, sizeof(CubeConstants), NULL, GL_DYNAMIC_DRAW);
    glCreateBuffers(1, &gl.light);
    glNamedBufferData(gl.light, sizeof(LightConstants), NULL, GL_DYNAMIC_DRAW);
    glCreateVertexArrays(1, &gl.vertexArray);
    glVertexArrayVertexBuffer(gl.vertexArray, 0, gl.vertices, 0, sizeof(MeshVertex));
    glVertexArrayElementBuffer(gl.vertexArray, gl.indices);
    const GLuint sizes[3] = {3, 2, 3}, offsets[3] = {0, 12, 20};
    for (GLuint i = 0; i < 3; ++i) {
        glEnableVertexArrayAttrib(gl.vertexArray, i);
        glVertexArrayAttribFormat(gl.vertexArray, i, (GLint)sizes[i], GL_FLOAT, GL_FALSE, offsets[i]);
        glVertexArrayAttribBinding(gl.vertexArray, i, 0);
    }
    return gl;
}

void FreeGlBoxes(GlBoxes& gl) {
    const GLuint buffers[4] = {gl.vertices, gl.indices, gl.transforms, gl.light};
    glDeleteBuffers(4, buffers);
    glDeleteVertexArrays(1, &gl.vertexArray);
    glDeleteProgram(gl.program);
}

// One draw as the primitives make it: vertices through a discarding map, both blocks
// rewritten whole, the program and buffers bound, one indexed draw.
void GlDraw(const GlBoxes& gl, const void* vertices, GLsizeiptr vertexBytes, GLsizei indexCount,
            const CubeConstants& transforms, const LightConstants& light) {
    void* mapped = glMapNamedBufferRange(gl.vertices, 0, vertexBytes, GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT);
    if (mapped) {
        memcpy(mapped, vertices, (size_t)vertexBytes);
        glUnmapNamedBuffer(gl.vertices);
    }
    glNamedBufferSubData(gl.transforms, 0, sizeof(transforms), &transforms);
    glNamedBufferSubData(gl.light, 0, sizeof(light), &light);
    glUseProgram(gl.program);
    glBindVertexArray(gl.vertexArray);
    glBindBufferBase(GL_UNIFORM_BUFFER, 0, gl.transforms);
    glBindBufferBase(GL_UNIFORM_BUFFER, 3, gl.light);
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, NULL);
}

void BM_GlBox(benchmark::State& state) {
    std::vector<WORD> indices(cubeIndexData, cubeIndexData + 36);
    GlBoxes gl = MakeGlBoxes(sizeof(MeshVertex) * 24, indices);
    const XMMATRIX world = XMMatrixTranslation(0.1f, 0.0f, 0.0f);
    for (auto _ : state) {
        MeshVertex vertices[24];
        BuildBoxVertices(vertices, 0.2f, 0.3f, 0.4f);
        GlDraw(gl, vertices, sizeof(vertices), 36, FillTransforms(world, viewMatrix, projectionMatrix, kColour),
               BoxLight());
    }
    glFinish();
    FreeGlBoxes(gl);
}
BENCHMARK(BM_GlBox);

// The strip's 1 200 vertices and 1 800 indices; rebuild 1 recomputes and uploads the
// vertices each draw as DrawSagStrip does, 0 draws the ones uploaded before the loop.
void BM_GlSagStrip(benchmark::State& state) {
    const bool rebuild = state.range(0) != 0;
    std::vector<WORD> indices(kBoxBatchBoxes * 36);
    FillBoxBatchIndices(indices.data());
    GlBoxes gl = MakeGlBoxes(sizeof(MeshVertex) * kBoxBatchBoxes * 24, indices);
    std::vector<MeshVertex> vertices(kSagStripVertices);
    BuildSagStripVertices(vertices.data(), 0.04f, 0.05f, 0.05f, 50.0f);
    // Without this the draws without rebuild would read a buffer of zeros: every triangle
    // degenerate, nothing shaded or binned, a cheaper draw than the stand-in's.
    glNamedBufferSubData(gl.vertices, 0, (GLsizeiptr)(vertices.size() * sizeof(MeshVertex)), vertices.data());
    const XMMATRIX world = XMMatrixTranslation(-1.0f, 0.0f, 0.0f);
    for (auto _ : state) {
        if (rebuild) {
            BuildSagStripVertices(vertices.data(), 0.04f, 0.05f, 0.05f, 50.0f);
            GlDraw(gl, vertices.data(), (GLsizeiptr)(vertices.size() * sizeof(MeshVertex)), kSagStripBoxes * 36,
                   FillTransforms(world, viewMatrix, projectionMatrix, kColour), BoxLight());
        } else {
            // No vertex upload: only the blocks and the draw.
            const CubeConstants transforms = FillTransforms(world, viewMatrix, projectionMatrix, kColour);
            const LightConstants light = BoxLight();
            glNamedBufferSubData(gl.transforms, 0, sizeof(transforms), &transforms);
            glNamedBufferSubData(gl.light, 0, sizeof(light), &light);
            glUseProgram(gl.program);
            glBindVertexArray(gl.vertexArray);
            glBindBufferBase(GL_UNIFORM_BUFFER, 0, gl.transforms);
            glBindBufferBase(GL_UNIFORM_BUFFER, 3, gl.light);
            glDrawElements(GL_TRIANGLES, kSagStripBoxes * 36, GL_UNSIGNED_SHORT, NULL);
        }
    }
    glFinish();
    FreeGlBoxes(gl);
}
BENCHMARK(BM_GlSagStrip)->ArgName("rebuild")->Arg(1)->Arg(0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!OpenBenchGraphics(1280, 720)) {
        fprintf(stderr, "no graphics device\n");
        return 1;
    }
    BindSmallTarget();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (target.rtv) target.rtv->Release();
    if (target.texture) target.texture->Release();
    CloseBenchGraphics();
    return 0;
}
