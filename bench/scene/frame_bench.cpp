// Frame time of the presentation on this machine's GL driver at 1280 x 720: the composed
// frame in the road scene, in the cross-fade and in the sea view, the sea pass and the
// road scene on their own, and what skipping the hidden sea layer saves.
#include <benchmark/benchmark.h>
#include <stdio.h>

#include <chrono>

#include "app/main_loop.h"
#include "post/post_chain.h"
#include "scene/compose_frame.h"
#include "scene/road_scene.h"
#include "scene/sea_view.h"
#include "scene_fixture.h"

namespace {

using quarvel::test::DrawFrameAt;

constexpr int kWidth = 1280, kHeight = 720;

// Drawing only queues work; reading one pixel back waits until the GPU has finished it.
void WaitForGpu() {
    static ID3D11Texture2D* staging = NULL;
    if (!staging) {
        D3D11_TEXTURE2D_DESC desc = {};
        desc.Width = desc.Height = 1;
        desc.MipLevels = desc.ArraySize = 1;
        desc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
        desc.SampleDesc.Count = 1;
        desc.Usage = D3D11_USAGE_STAGING;
        desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
        graphics.device->CreateTexture2D(&desc, NULL, &staging);
    }
    ID3D11Resource* backBuffer = NULL;
    graphics.backBufferView->GetResource(&backBuffer);
    const D3D11_BOX box = {0, 0, 0, 1, 1, 1};
    graphics.context->CopySubresourceRegion(staging, 0, 0, 0, 0, backBuffer, 0, &box);
    backBuffer->Release();
    D3D11_MAPPED_SUBRESOURCE mapped;
    if (SUCCEEDED(graphics.context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped))) graphics.context->Unmap(staging, 0);
}

bool Opened() {
    static const bool opened = quarvel::test::OpenScene(kWidth, kHeight);
    return opened;
}

void SetTime(uint32_t ms) {
    musicTimeMs = ms;
    musicTimeSec = (float)ms * 0.001f;
}

void ComposedFrame(benchmark::State& state) {
    if (!Opened()) return state.SkipWithError("no graphics device");
    const uint32_t ms = (uint32_t)state.range(0);
    skipInvisibleLayers = true;
    for (auto _ : state) {
        DrawFrameAt(ms);
        WaitForGpu();
    }
}
BENCHMARK(ComposedFrame)->Arg(5000)->Arg(18000)->Arg(25000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void SeaPass(benchmark::State& state) {
    if (!Opened()) return state.SkipWithError("no graphics device");
    SetTime(25000);
    for (auto _ : state) {
        postChain.Begin();
        graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
        DrawSeaView();
        graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
        postChain.End();
        WaitForGpu();
    }
}
BENCHMARK(SeaPass)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void RoadScene(benchmark::State& state) {
    if (!Opened()) return state.SkipWithError("no graphics device");
    SetTime(5000);
    for (auto _ : state) {
        postChain.Begin();
        DrawRoadScene();
        postChain.End();
        WaitForGpu();
    }
}
BENCHMARK(RoadScene)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// A road-scene frame drawn both ways in turn; the counters give each frame time and the
// ratio of drawing everything to skipping the hidden sea.
void SkippingGain(benchmark::State& state) {
    if (!Opened()) return state.SkipWithError("no graphics device");
    using Clock = std::chrono::steady_clock;
    double full = 0.0, skipped = 0.0;
    for (auto _ : state) {
        for (bool skip : {false, true}) {
            skipInvisibleLayers = skip;
            const Clock::time_point start = Clock::now();
            DrawFrameAt(5000);
            WaitForGpu();
            (skip ? skipped : full) += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    }
    skipInvisibleLayers = true;
    const double n = (double)state.iterations();
    state.counters["all_layers_ms"] = full / n;
    state.counters["skipping_ms"] = skipped / n;
    state.counters["gain"] = full / skipped;
}
BENCHMARK(SkippingGain)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
