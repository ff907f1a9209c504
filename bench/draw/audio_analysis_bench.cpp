// Cost of one frame's audio analysis on the playing music (level, 2048-point spectrum, band
// reduction), of the band reduction alone, and of the bare 2048-point real transform that
// the spectrum is built on, the analysis's baseline.
#include <benchmark/benchmark.h>
#include <kiss_fftr.h>
#include <math.h>
#include <stdio.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "app/audio_analysis.h"
#include "app/main_loop.h"

namespace {

void BM_ReduceSpectrum(benchmark::State& state) {
    float bins[kFftBins];
    for (int i = 0; i < kFftBins; ++i) bins[i] = 0.5f / (float)(i + 1);
    float bands[kSpectrumBands];
    for (auto _ : state) {
        ReduceSpectrum(bins, bands);
        benchmark::DoNotOptimize(bands);
    }
}
BENCHMARK(BM_ReduceSpectrum);

void BM_AnalyseAudio(benchmark::State& state) {
    if (!musicStream) {
        state.SkipWithError("the music could not be opened");
        return;
    }
    for (auto _ : state) {
        AnalyseAudio();
        benchmark::DoNotOptimize(spectrumBands);
    }
}
BENCHMARK(BM_AnalyseAudio);

// kissfft's real transform of 2048 samples of a tone, nothing around it.
void BM_BareFft2048(benchmark::State& state) {
    kiss_fftr_cfg config = kiss_fftr_alloc(2048, 0, NULL, NULL);
    std::vector<float> samples(2048);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.5f * sinf(6.2831853f * 1000.0f * (float)i / 44100.0f);
    std::vector<kiss_fft_cpx> out(1025);
    for (auto _ : state) {
        kiss_fftr(config, samples.data(), out.data());
        benchmark::DoNotOptimize(out.data());
    }
    kiss_fftr_free(config);
}
BENCHMARK(BM_BareFft2048);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (chdir(QUARVEL_RUN_DIR) != 0) fprintf(stderr, "cannot enter %s\n", QUARVEL_RUN_DIR);
    if (BASS_Init(-1, 44100, 0, NULL, NULL)) {
        musicStream = BASS_StreamCreateFile(FALSE, "Data/BRISVANE KETRA MASTER 22.mp3", 0, 0, 0);
        if (musicStream) BASS_ChannelPlay(musicStream, FALSE);
        // Let a spectrum's worth of music be heard first.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (musicStream) BASS_ChannelStop(musicStream);
    BASS_Free();
    return 0;
}
