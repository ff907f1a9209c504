// The whole song in extended and in double precision, and the layer loop alone in both.
//
//   quarvel_synth_bench                                 everything (about a minute)
//   quarvel_synth_bench --benchmark_filter=Layer        the layer loop only
#include <benchmark/benchmark.h>

#include <chrono>
#include <time.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

#include "synth/engine.h"
#include "synth/fpu.h"

namespace {

const double kSongSeconds = (double)MIXLEN / 44100;

struct Took {
    double wall, cpu;  // the processor time too: the wall clock counts a busy machine's others
};

Took Time(void (*render)())
{
    auto t0 = std::chrono::steady_clock::now();
    clock_t c0 = clock();
    render();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(),
            (double)(clock() - c0) / CLOCKS_PER_SEC};
}

// Renders the song once each way; the counters carry the times, the real-time factor and
// how far the double render strays from the extended one.
void BM_GenMusExtendedVsDouble(benchmark::State& state)
{
    std::vector<int16_t> ext(MusBuf, MusBuf + 2 * MIXLEN);
    Took e{}, d{};
    int worst = 0;
    for (auto _ : state) {
        e = Time(genMus);
        memcpy(ext.data(), MusBuf, sizeof MusBuf);
        d = Time(genMusT<double>);
        state.SetIterationTime(e.wall + d.wall);
    }
    for (int i = 0; i < 2 * MIXLEN; i++) worst = std::max(worst, abs(ext[i] - MusBuf[i]));
    state.counters["extended_s"] = e.wall;
    state.counters["extended_cpu_s"] = e.cpu;
    state.counters["double_cpu_s"] = d.cpu;
    state.counters["realtime_factor"] = kSongSeconds / e.wall;
    state.counters["ext_over_double_cpu"] = e.cpu / d.cpu;
    state.counters["max_diff_lsb"] = worst;
}
BENCHMARK(BM_GenMusExtendedVsDouble)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// One layer of a detuned, modulated voice with moving pitch and depth envelopes.
template <class R>
void BM_Layer(benchmark::State& state)
{
    FpuExtended fpu;
    mkwaves<R>();
    SynVars<R>& v = vars<R>;
    const signed char row[20] = {1, 1, 25, 5, 6, 12, 8, 99, -8, 11, 6, -12, 10, -70, -60, -70, 40, -120, 22, -70};
    getpar<R>(row);
    v.f = 163.5;
    v.seed = 99;
    const int32_t n = 1 << 20;
    for (auto _ : state) {
        mklayer<R>(n);
        benchmark::DoNotOptimize(InstrBuf[n - 1]);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK_TEMPLATE(BM_Layer, long double)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Layer, double)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
