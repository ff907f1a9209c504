#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <vector>

#include "app/main_window.h"
#include "gfx/graphics_context.h"
#include "gfx/shader_file.h"
#include "gfx/shader_program.h"
#include "gfx/texture_loader.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

bool OpenWindow() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = BenchWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QuarvelGfxBench";
    RegisterClassExA(&windowClass);
    RECT rect = {0, 0, 1280, 720};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    mainWindow = CreateWindowExA(0, "QuarvelGfxBench", "bench", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                 rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    return mainWindow != nullptr;
}

void ReadPackedShader(benchmark::State& state) {
    for (auto _ : state) {
        char* text = nullptr;
        UINT length = 0;
        if (FAILED(ReadShaderFile("Shaders/Shaders3D.shader", &text, &length))) state.SkipWithError("no shader");
        benchmark::DoNotOptimize(text);
        free(text);
    }
}
BENCHMARK(ReadPackedShader);

// One standard 3D program: two compiles through the HLSL stand-in and the device objects.
// The compiled code is let go each time, so every iteration compiles.
void CreateProgram(benchmark::State& state) {
    const D3D11_INPUT_ELEMENT_DESC layout[3] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"NORMAL", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 20, D3D11_INPUT_PER_VERTEX_DATA, 0},
    };
    for (auto _ : state) {
        ShaderProgram* program =
            CreateShaderProgram("Shaders/Shaders3D.fx", "DiffuseTextureCubemapPS", "VS", layout, 3, 16);
        if (!program || !program->pixelShader) state.SkipWithError("program incomplete");
        graphics.programCount = 0;  // the registry only has room for 64
        ReleaseShaderProgram(program);
        ReleaseCompiledShaders();
    }
}
BENCHMARK(CreateProgram)->Unit(benchmark::kMillisecond);

// A 1920 x 1080 RGBA picture, as the scene's background is.
void LoadFullScreenTexture(benchmark::State& state) {
    std::vector<uint8_t> pixels(1920 * 1080 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t((i * 31) ^ (i >> 11));
    std::vector<uint8_t> png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<std::vector<uint8_t>*>(context);
            out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        },
        &png, 1920, 1080, 4, pixels.data(), 1920 * 4);
    for (auto _ : state) {
        ID3D11ShaderResourceView* view = nullptr;
        if (!LoadTextureMemory(png.data(), int(png.size()), &view)) state.SkipWithError("no texture");
        if (view) view->Release();
    }
    state.counters["png_bytes"] = double(png.size());
}
BENCHMARK(LoadFullScreenTexture)->Unit(benchmark::kMillisecond);

// The whole start-up of the graphics context: device, states, buffers, ten programs, layers.
void InitAndReleaseGraphics(benchmark::State& state) {
    for (auto _ : state) {
        ReleaseGraphics();
        if (!InitGraphics(true)) state.SkipWithError("InitGraphics failed");
    }
}
BENCHMARK(InitAndReleaseGraphics)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!OpenWindow() || !InitGraphics(true)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    ReleaseGraphics();
    benchmark::Shutdown();
    return 0;
}
