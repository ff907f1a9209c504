// The plain-GL baselines of the frame benchmarks, each drawn at the size of the scene that
// is open (the caller opens it): run from the build tree's top, where Data/ is.
#pragma once

#include <benchmark/benchmark.h>
#include <stdint.h>

namespace quarvel::bench {

// The music time of the sea figures: well into the sea view.
constexpr uint32_t kSeaMs = 25000;

// One full-screen pass: the 2048 x 1024 sky picture sampled over an RGBA8 target of this
// size, the least a frame of a post-processed presentation costs on this driver.
void PlainFullScreenPass(benchmark::State& state, int width, int height);

// The sea formula written by hand in GLSL over an RGBA8 target of this size; first checks
// that its picture matches the system's sea pass (which needs the scene open at this size).
void PlainSeaGlsl(benchmark::State& state, int width, int height);

}  // namespace quarvel::bench
