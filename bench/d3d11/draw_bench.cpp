// Per-draw CPU cost of the Direct3D stand-in: each iteration rewrites an 80-byte vertex
// buffer (four ScreenVertex) with a discarding map and draws a 4-vertex strip, as every 2D
// draw of the system does. The baseline is a plain GL loop on its own context issuing the
// same buffer update (orphaning glNamedBufferData) and draw. Both draw into a 64x64 RGBA8
// target; the ratio of the two is printed after the run.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <d3d11.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "core/video.h"
#include "hlsl/shader_blob.h"

namespace {

const char* const kVertexGlsl = R"(#version 450
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec2 inTexcoord;
out vec2 TEXCOORD0;
void main() { gl_Position = vec4(inPosition, 1.0); TEXCOORD0 = inTexcoord; }
)";
const char* const kPixelGlsl = R"(#version 450
in vec2 TEXCOORD0;
layout(location = 0) out vec4 target0;
void main() { target0 = vec4(TEXCOORD0, 0.0, 1.0); }
)";

struct ScreenVertex {
    float x, y, z, u, v;
};

// Four vertices of a quad that moves with `i`, so every upload differs.
void FillQuad(ScreenVertex* q, int i) {
    const float s = 0.1f + 0.001f * float(i % 100);
    const ScreenVertex quad[4] = {{-s, -s, 0, 0, 1}, {-s, s, 0, 0, 0}, {s, -s, 0, 1, 1}, {s, s, 0, 1, 0}};
    std::memcpy(q, quad, sizeof quad);
}

void BM_Direct3DMapDiscardDraw(benchmark::State& state) {
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    if (FAILED(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, &device,
                                 nullptr, &context))) {
        state.SkipWithError("no device");
        return;
    }
    using namespace quarvel::hlsl;
    CompiledShader vs;
    vs.stage = ShaderStage::Vertex;
    vs.target = "vs_4_0";
    vs.glsl = kVertexGlsl;
    vs.inputs = {{"POSITION", 0, 0, 3, ComponentType::Float}, {"TEXCOORD", 0, 1, 2, ComponentType::Float}};
    CompiledShader ps;
    ps.stage = ShaderStage::Pixel;
    ps.target = "ps_4_0";
    ps.glsl = kPixelGlsl;
    const std::vector<uint8_t> vsBlob = WriteShaderBlob(vs), psBlob = WriteShaderBlob(ps);
    ID3D11VertexShader* vertexShader = nullptr;
    ID3D11PixelShader* pixelShader = nullptr;
    ID3D11InputLayout* layout = nullptr;
    device->CreateVertexShader(vsBlob.data(), vsBlob.size(), nullptr, &vertexShader);
    device->CreatePixelShader(psBlob.data(), psBlob.size(), nullptr, &pixelShader);
    const D3D11_INPUT_ELEMENT_DESC elements[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0}};
    device->CreateInputLayout(elements, 2, vsBlob.data(), vsBlob.size(), &layout);
    D3D11_TEXTURE2D_DESC td{64, 64, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_DEFAULT,
                            D3D11_BIND_RENDER_TARGET, 0, 0};
    ID3D11Texture2D* target = nullptr;
    ID3D11RenderTargetView* view = nullptr;
    device->CreateTexture2D(&td, nullptr, &target);
    device->CreateRenderTargetView(target, nullptr, &view);
    D3D11_BUFFER_DESC bd{80, D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER, D3D11_CPU_ACCESS_WRITE, 0, 0};
    ID3D11Buffer* quad = nullptr;
    device->CreateBuffer(&bd, nullptr, &quad);
    if (!vertexShader || !pixelShader || !layout || !view || !quad) {
        state.SkipWithError("device objects could not be created");
        return;
    }
    context->OMSetRenderTargets(1, &view, nullptr);
    const D3D11_VIEWPORT viewport = {0, 0, 64, 64, 0, 1};
    context->RSSetViewports(1, &viewport);
    context->IASetInputLayout(layout);
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP);
    context->VSSetShader(vertexShader, nullptr, 0);
    context->PSSetShader(pixelShader, nullptr, 0);
    const UINT stride = sizeof(ScreenVertex), offset = 0;
    int i = 0;
    for (auto _ : state) {
        D3D11_MAPPED_SUBRESOURCE mapped;
        context->Map(quad, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped);
        FillQuad(static_cast<ScreenVertex*>(mapped.pData), i++);
        context->Unmap(quad, 0);
        // The system binds the quad again before every draw.
        context->IASetVertexBuffers(0, 1, &quad, &stride, &offset);
        context->Draw(4, 0);
        if ((i & 255) == 0) context->Flush();
    }
    glFinish();  // the device's context is current: let the queued draws finish
    context->ClearState();
    quad->Release();
    view->Release();
    target->Release();
    layout->Release();
    pixelShader->Release();
    vertexShader->Release();
    context->Release();
    device->Release();
}

GLuint CompileStage(GLenum type, const char* source) {
    const GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
}

void BM_PlainGlBufferDataDraw(benchmark::State& state) {
    quarvel::core::InitVideo();
    SDL_Window* window = SDL_CreateWindow("bench", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext gl = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!gl) {
        state.SkipWithError("no GL context");
        return;
    }
    GLuint vao, buffer, texture, framebuffer;
    glCreateVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glCreateBuffers(1, &buffer);
    glNamedBufferData(buffer, 80, nullptr, GL_STREAM_DRAW);
    glVertexArrayAttribFormat(vao, 0, 3, GL_FLOAT, GL_FALSE, 0);
    glVertexArrayAttribFormat(vao, 1, 2, GL_FLOAT, GL_FALSE, 12);
    glVertexArrayAttribBinding(vao, 0, 0);
    glVertexArrayAttribBinding(vao, 1, 0);
    glEnableVertexArrayAttrib(vao, 0);
    glEnableVertexArrayAttrib(vao, 1);
    glVertexArrayVertexBuffer(vao, 0, buffer, 0, sizeof(ScreenVertex));
    glCreateTextures(GL_TEXTURE_2D, 1, &texture);
    glTextureStorage2D(texture, 1, GL_RGBA8, 64, 64);
    glCreateFramebuffers(1, &framebuffer);
    glNamedFramebufferTexture(framebuffer, GL_COLOR_ATTACHMENT0, texture, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, 64, 64);
    const GLuint program = glCreateProgram();
    const GLuint vs = CompileStage(GL_VERTEX_SHADER, kVertexGlsl), fs = CompileStage(GL_FRAGMENT_SHADER, kPixelGlsl);
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glUseProgram(program);
    ScreenVertex quad[4];
    int i = 0;
    for (auto _ : state) {
        FillQuad(quad, i++);
        glNamedBufferData(buffer, sizeof quad, quad, GL_STREAM_DRAW);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        if ((i & 255) == 0) glFlush();
    }
    glFinish();
    glDeleteProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vao);
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(gl);
    SDL_DestroyWindow(window);
}

BENCHMARK(BM_Direct3DMapDiscardDraw)->MinTime(1.0);
BENCHMARK(BM_PlainGlBufferDataDraw)->MinTime(1.0);

// Prints the usual table, then the stand-in's cost per draw relative to plain GL.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration) {
                const std::string name = run.benchmark_name();
                cpuNs_[name.substr(0, name.find('/'))] = run.GetAdjustedCPUTime();
            }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto d3d = cpuNs_.find("BM_Direct3DMapDiscardDraw");
        const auto gl = cpuNs_.find("BM_PlainGlBufferDataDraw");
        if (d3d != cpuNs_.end() && gl != cpuNs_.end() && gl->second > 0)
            std::printf("Direct3D stand-in / plain GL CPU time per draw: %.2f\n", d3d->second / gl->second);
    }

private:
    std::map<std::string, double> cpuNs_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
