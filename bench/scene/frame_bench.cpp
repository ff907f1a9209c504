// Frame times of the presentation on this machine's GL driver at 640 x 360, 1280 x 720 and
// 1920 x 1080: the road scene, the sea pass and the composed cross-fade frame, each next to
// its plain-GL baseline at the same size (one full-screen textured pass; for the sea, the
// same formula written by hand in GLSL), and at 1280 x 720 what skipping the hidden sea
// layer saves.
//
//   quarvel_scene_bench --benchmark_filter=/1280x720    one size only
#include <benchmark/benchmark.h>
#include <stdio.h>

#include <math.h>
#include <sys/resource.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "frame_baselines.h"
#include "plain_gl.h"
#include "gfx/shader_program.h"
#include "post/post_chain.h"
#include "road_gl.h"
#include "scene/compose_frame.h"
#include "scene/road_motion.h"
#include "scene/road_scene.h"
#include "scene/sea_view.h"
#include "scene_fixture.h"

namespace {

using quarvel::test::DrawFrameAt;

struct Size {
    int width, height;
};
const Size kSizes[] = {{640, 360}, {1280, 720}, {1920, 1080}};
const float kClear[4] = {0.0f, 0.0f, 0.0f, 0.0f};

// The scene open at the size the next benchmark wants; reopened when the size changes.
// `staging` reads one pixel back, which waits until the driver has finished the frame.
struct SceneAtSize {
    Size size = {0, 0};
    bool opened = false;
    ID3D11Texture2D* staging = NULL;
    RenderTarget seaTarget = {};
    RenderTarget roadTarget = {};
} scene;

void CloseScene() {
    if (scene.staging) scene.staging->Release();
    quarvel::test::ReleaseTarget(scene.seaTarget);
    quarvel::test::ReleaseTarget(scene.roadTarget);
    scene = SceneAtSize();
    quarvel::test::CloseScene();
}

bool Open(Size size) {
    if (scene.size.width == size.width && scene.size.height == size.height) return scene.opened;
    if (scene.size.width) CloseScene();
    scene.size = size;
    scene.opened = quarvel::test::OpenScene(size.width, size.height);
    if (!scene.opened) return false;
    D3D11_TEXTURE2D_DESC desc = {};
    desc.Width = desc.Height = 1;
    desc.MipLevels = desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    desc.SampleDesc.Count = 1;
    desc.Usage = D3D11_USAGE_STAGING;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    graphics.device->CreateTexture2D(&desc, NULL, &scene.staging);
    scene.seaTarget = quarvel::test::MakeTarget(size.width, size.height);
    scene.roadTarget = quarvel::test::MakeTarget(size.width, size.height);
    return scene.staging && scene.seaTarget.rtv && scene.roadTarget.rtv;
}

void WaitFor(ID3D11Resource* resource) {
    const D3D11_BOX box = {0, 0, 0, 1, 1, 1};
    graphics.context->CopySubresourceRegion(scene.staging, 0, 0, 0, 0, resource, 0, &box);
    D3D11_MAPPED_SUBRESOURCE mapped;
    if (SUCCEEDED(graphics.context->Map(scene.staging, 0, D3D11_MAP_READ, 0, &mapped)))
        graphics.context->Unmap(scene.staging, 0);
}

void WaitForBackBuffer() {
    ID3D11Resource* backBuffer = NULL;
    graphics.backBufferView->GetResource(&backBuffer);
    WaitFor(backBuffer);
    backBuffer->Release();
}

void SetTime(uint32_t ms) {
    musicTimeMs = ms;
    musicTimeSec = (float)ms * 0.001f;
}

// The whole frame of the main loop at 18 s, where the road scene fades into the sea.
void ComposedCrossFade(benchmark::State& state, Size size) {
    if (!Open(size)) return state.SkipWithError("no graphics device");
    composeOptions = ComposeOptions();
    for (auto _ : state) {
        DrawFrameAt(18000);
        WaitForBackBuffer();
    }
}

// The sea program alone over a target of the frame's size, as the composition draws it.
void SeaPass(benchmark::State& state, Size size) {
    if (!Open(size)) return state.SkipWithError("no graphics device");
    SetTime(quarvel::bench::kSeaMs);
    quarvel::test::BindWholeTarget(scene.seaTarget, size.width, size.height);
    const float factor[4] = {};
    graphics.context->OMSetBlendState(graphics.blendOpaque, factor, 0xFFFFFFFF);
    graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
    graphics.context->RSSetState(graphics.cullBack);
    for (auto _ : state) {
        DrawSeaView();
        WaitFor(scene.seaTarget.texture);
    }
    graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
}

// The road scene through the chain (its effects and the copy to the back buffer).
void RoadScene(benchmark::State& state, Size size) {
    if (!Open(size)) return state.SkipWithError("no graphics device");
    SetTime(5000);
    for (auto _ : state) {
        postChain.Begin();
        DrawRoadScene();
        postChain.End();
        WaitForBackBuffer();
    }
}

// The road scene's draws alone, without the post-processing passes, into a target with the
// depth buffer, as the plain-GL baseline below draws them: the stand-in's cost per draw.
constexpr uint32_t kRoadMs = 5000;

void DrawRoadSceneOnly() {
    quarvel::test::BindAndClear(scene.roadTarget, kClear);
    const float factor[4] = {};
    graphics.context->OMSetBlendState(graphics.blendOpaque, factor, 0xFFFFFFFF);
    graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
    graphics.context->RSSetState(graphics.cullBack);
    // Without an active chain the scene's closing VHS pass draws nothing.
    const bool active = postChain.active;
    postChain.active = false;
    DrawRoadScene();
    postChain.active = active;
}

long Faults(const rusage& usage) { return usage.ru_minflt + usage.ru_majflt; }

long FaultsSoFar() {
    rusage now;
    getrusage(RUSAGE_SELF, &now);
    return Faults(now);
}

// Page faults and system time per frame over a benchmark's loop: what fresh mappings of large
// allocations cost, which wall time alone hides among the machine's other work.
class KernelCost {
public:
    explicit KernelCost(benchmark::State& state) : state_(state) { getrusage(RUSAGE_SELF, &start_); }
    ~KernelCost() {
        rusage end;
        getrusage(RUSAGE_SELF, &end);
        const double frames = state_.iterations() ? double(state_.iterations()) : 1.0;
        auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
        state_.counters["faults_per_frame"] = double(Faults(end) - Faults(start_)) / frames;
        state_.counters["sys_ms_per_frame"] = (seconds(end.ru_stime) - seconds(start_.ru_stime)) * 1000.0 / frames;
    }

private:
    benchmark::State& state_;
    rusage start_;
};

// The driver's heap keeps growing for the first few dozen frames of a new scene (its scene
// and vertex blocks freed and asked for again in new places), each new page faulted in: about
// 400 faults a frame at 640x360 until it settles, however the frames are drawn. Timing that
// growth would measure how far a process is from its steady state rather than what a frame
// costs, and would charge it to whichever benchmark runs first in the process. So each side
// draws until a frame's faults have stayed low for a while, once per process and size.
int SizeIndex(Size size) { return size.width / 640 - 1; }

// `frames` counts what was drawn before this process's first repetition; -1 until then.
void WarmUpOnce(benchmark::State& state, int& frames, const std::function<void()>& frame) {
    if (frames < 0) {
        constexpr int kQuietFrames = 8, kMostFrames = 240;
        constexpr long kQuietFaults = 16;
        frames = 0;
        for (int quiet = 0; quiet < kQuietFrames && frames < kMostFrames; ++frames) {
            const long before = FaultsSoFar();
            frame();
            quiet = FaultsSoFar() - before < kQuietFaults ? quiet + 1 : 0;
        }
    }
    state.counters["warmup_frames"] = frames;
}

void RoadDraws(benchmark::State& state, Size size) {
    if (!Open(size)) return state.SkipWithError("no graphics device");
    SetTime(kRoadMs);
    static int warm[3] = {-1, -1, -1};
    WarmUpOnce(state, warm[SizeIndex(size)], [] {
        DrawRoadSceneOnly();
        WaitFor(scene.roadTarget.texture);
    });
    const KernelCost cost(state);
    for (auto _ : state) {
        DrawRoadSceneOnly();
        WaitFor(scene.roadTarget.texture);
    }
}

void RoadDrawsGl(benchmark::State& state, Size size) {
    if (!Open(size)) return state.SkipWithError("no graphics device");
    SetTime(kRoadMs);
    DrawRoadSceneOnly();
    const quarvel::test::Pixels drawn = quarvel::test::ReadTexture(scene.roadTarget.texture);
    std::vector<uint8_t> system(drawn.rgba.size());
    for (size_t i = 0; i < system.size(); ++i) system[i] = (uint8_t)lrintf(drawn.rgba[i] * 255.0f);

    quarvel::bench::PlainGlScope scope;
    if (!scope.ok()) return state.SkipWithError(scope.why().c_str());
    quarvel::bench::PlainRoadScene gl(size.width, size.height);
    if (!gl.ok()) return state.SkipWithError(gl.why().c_str());
    gl.Draw(musicTimeSec);
    std::string why;
    const bool same = quarvel::bench::PicturesMatch(system, gl.Pixels(), "plain-GL road scene", why);
    state.SetLabel(why.substr(why.find(':') + 2));
    if (!same) return state.SkipWithError(why.c_str());
    static int warm[3] = {-1, -1, -1};
    WarmUpOnce(state, warm[SizeIndex(size)], [&gl] {
        gl.Draw(musicTimeSec);
        gl.Finish();
    });
    const KernelCost cost(state);
    for (auto _ : state) {
        gl.Draw(musicTimeSec);
        gl.Finish();
    }
}

void SeaGlsl(benchmark::State& state, Size size) {
    if (!Open(size)) return state.SkipWithError("no graphics device");
    quarvel::bench::PlainSeaGlsl(state, size.width, size.height);
}

void FullScreenPass(benchmark::State& state, Size size) {
    if (!Open(size)) return state.SkipWithError("no graphics device");
    quarvel::bench::PlainFullScreenPass(state, size.width, size.height);
}

// A sea frame (20 s: the road scene is drawn, merged away at weight 1) split into what it is
// made of, each part waited for before the next: the road scene with its VHS pass and copy to
// layer A, the sea pass with its copy to layer B, the merge with the fades, and the chain's
// copy to the back buffer. The counters are each part's wall time.
void SeaFrameParts(benchmark::State& state, Size size) {
    if (!Open(size)) return state.SkipWithError("no graphics device");
    using Clock = std::chrono::steady_clock;
    const uint32_t ms = 20000;
    double parts[4] = {};
    Clock::time_point mark;
    auto lap = [&](int part, ID3D11Resource* resource) {
        WaitFor(resource);
        const Clock::time_point now = Clock::now();
        parts[part] += std::chrono::duration<double, std::milli>(now - mark).count();
        mark = now;
    };
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const float clear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (auto _ : state) {
        SetTime(ms);
        graphics.context->ClearDepthStencilView(graphics.depthView, D3D11_CLEAR_DEPTH, 1.0f, 0);
        mark = Clock::now();
        postChain.Begin();
        DrawRoadScene();
        postChain.ResolveTo(graphics.layerA);
        lap(0, graphics.layerA.texture);
        graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
        DrawSeaView();
        graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
        postChain.ResolveTo(graphics.layerB);
        lap(1, graphics.layerB.texture);
        // The merge and the fades as ComposeFrame draws them.
        graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
        ID3D11ShaderResourceView* layers[2] = {graphics.layerA.srv, graphics.layerB.srv};
        graphics.context->PSSetShaderResources(0, 2, layers);
        const float merge[4] = {MergeWeight(ms), musicTimeSec, 0.0f, 0.0f};
        UpdateConstants(graphics.mergeProgram->constants, merge);
        graphics.DrawFullscreenQuad(graphics.mergeProgram);
        graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
        DrawFade(0, 1000, black, clear);
        DrawFade(29000, 30000, clear, black);
        DrawFade(30000, 31000, black, black);
        lap(2, postChain.textures[0]);
        postChain.End();
        ID3D11Resource* backBuffer = NULL;
        graphics.backBufferView->GetResource(&backBuffer);
        lap(3, backBuffer);
        backBuffer->Release();
    }
    const char* names[4] = {"road_ms", "sea_ms", "merge_ms", "chain_ms"};
    double total = 0.0;
    for (int i = 0; i < 4; ++i) {
        state.counters[names[i]] = parts[i] / (double)state.iterations();
        total += parts[i];
    }
    state.counters["frame_ms"] = total / (double)state.iterations();
}

// A road-scene frame drawn both ways in turn; the counters give each frame time and the
// ratio of drawing everything to skipping the hidden sea.
void SkippingGain(benchmark::State& state, Size size) {
    if (!Open(size)) return state.SkipWithError("no graphics device");
    using Clock = std::chrono::steady_clock;
    double full = 0.0, skipped = 0.0;
    for (auto _ : state) {
        for (bool skip : {false, true}) {
            composeOptions.skipInvisibleLayers = skip;
            const Clock::time_point start = Clock::now();
            DrawFrameAt(5000);
            WaitForBackBuffer();
            (skip ? skipped : full) += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    }
    composeOptions = ComposeOptions();
    const double n = (double)state.iterations();
    state.counters["all_layers_ms"] = full / n;
    state.counters["skipping_ms"] = skipped / n;
    state.counters["gain"] = full / skipped;
}

}  // namespace

int main(int argc, char** argv) {
    // Registered size by size, so the scene is opened once per size; benchmarks run in the
    // order they are registered.
    for (const Size& size : kSizes) {
        const std::string suffix = "/" + std::to_string(size.width) + "x" + std::to_string(size.height);
        const struct {
            const char* name;
            void (*run)(benchmark::State&, Size);
        } entries[] = {{"RoadDraws", RoadDraws},           {"RoadDrawsGl", RoadDrawsGl},
                       {"RoadScene", RoadScene},           {"FullScreenPass", FullScreenPass},
                       {"SeaPass", SeaPass},               {"SeaGlsl", SeaGlsl},
                       {"ComposedCrossFade", ComposedCrossFade}};
        for (const auto& entry : entries) {
            benchmark::internal::Benchmark* b =
                benchmark::RegisterBenchmark((entry.name + suffix).c_str(), entry.run, size)
                    ->Unit(benchmark::kMillisecond)
                    ->UseRealTime()
                    ->MinTime(1.0);
            // The ratio of these two is a headline figure and this machine is shared: medians.
            if (entry.run == RoadDraws || entry.run == RoadDrawsGl) b->Repetitions(5);
        }
        benchmark::RegisterBenchmark(("SeaFrameParts" + suffix).c_str(), SeaFrameParts, size)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(2.0);
        if (size.width == 1280)
            benchmark::RegisterBenchmark(("SkippingGain" + suffix).c_str(), SkippingGain, size)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(1.0);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    {
        // The driver every figure here depends on, for the report.
        quarvel::bench::PlainGlScope scope;
        if (scope.ok()) {
            benchmark::AddCustomContext("gl_renderer", (const char*)glGetString(GL_RENDERER));
            benchmark::AddCustomContext("gl_version", (const char*)glGetString(GL_VERSION));
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (scene.size.width) CloseScene();
    return 0;
}
