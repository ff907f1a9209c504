// BASS_ChannelGetData(FFT2048) on a playing stream, against the kissfft call it is built on
// and against the windowed transform alone, in one run.
#include "analysis.h"
#include "mp3_writer.h"

#include <bass.h>
#include <kiss_fftr.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<float> TestSignal() {
    std::vector<float> samples(2048);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * i / 44100.0));
    }
    return samples;
}

// A minute of tone playing on the null output: long enough for any benchmark run.
HSTREAM PlayingStream() {
    static HSTREAM stream = [] {
        const int rate = 44100;
        const size_t frames = 60u * rate;
        std::vector<int16_t> pcm(frames * 2);
        for (size_t i = 0; i < frames; ++i) {
            auto value = static_cast<int16_t>(16000 * std::sin(2.0 * std::numbers::pi * 1000.0 * i / rate));
            pcm[2 * i] = pcm[2 * i + 1] = value;
        }
        std::string path = (std::filesystem::temp_directory_path() /
                            ("quarvel-fft-bench-" + std::to_string(getpid()) + ".mp3")).string();
        HSTREAM handle = 0;
        if (quarvel::music::WriteMp3(path, pcm.data(), frames, 2, rate, 128) &&
            BASS_Init(0, rate, 0, nullptr, nullptr)) {
            handle = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
            BASS_ChannelPlay(handle, TRUE);
        }
        std::remove(path.c_str());  // the open stream keeps reading it
        return handle;
    }();
    return stream;
}

void BM_PlainKissFft2048(benchmark::State& state) {
    kiss_fftr_cfg config = kiss_fftr_alloc(2048, 0, nullptr, nullptr);
    std::vector<float> samples = TestSignal();
    std::vector<kiss_fft_cpx> out(1025);
    for (auto _ : state) {
        kiss_fftr(config, samples.data(), out.data());
        benchmark::DoNotOptimize(out.data());
    }
    kiss_fftr_free(config);
}
BENCHMARK(BM_PlainKissFft2048);

void BM_WindowedSpectrum2048(benchmark::State& state) {
    quarvel::audio::Spectrum2048 spectrum;
    std::vector<float> samples = TestSignal();
    float bins[1024];
    for (auto _ : state) {
        spectrum.Compute(samples.data(), bins);
        benchmark::DoNotOptimize(bins);
    }
}
BENCHMARK(BM_WindowedSpectrum2048);

void BM_ChannelGetDataFft2048(benchmark::State& state) {
    HSTREAM stream = PlayingStream();
    float bins[1024];
    if (stream == 0 || BASS_ChannelGetData(stream, bins, BASS_DATA_FFT2048) != 4096) {
        state.SkipWithError("no playing stream");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(BASS_ChannelGetData(stream, bins, BASS_DATA_FFT2048));
    }
}
BENCHMARK(BM_ChannelGetDataFft2048);

}  // namespace
