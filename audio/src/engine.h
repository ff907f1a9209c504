// The library's one global state: the output, the streams by handle, and the render step
// that mixes them on the output's thread.
#pragma once

#include "analysis.h"
#include "output_device.h"
#include "stream.h"

#include <bass.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace quarvel::audio {

struct Engine {
    // Serialises BASS_Init, BASS_Free and stream creation and release, which start and stop
    // threads and so must not hold `lock` while they do.
    std::mutex lifecycle;
    // Guards everything below; taken by the output thread for each render.
    std::mutex lock;
    std::unique_ptr<OutputDevice> output;
    int rate = 0;
    uint64_t rendered = 0;  // output frames rendered since BASS_Init
    std::map<DWORD, std::unique_ptr<Stream>> streams;
    DWORD nextHandle = 0;
    std::vector<float> mix;

    // The transform is not reentrant; it has a lock of its own so the output never waits
    // for it.
    std::mutex spectrumLock;
    Spectrum2048 spectrum;

    ~Engine();
};

Engine& TheEngine();

// Stops the output, then every stream; `lifecycle` held, `lock` not.
void ShutDownLocked(Engine& engine);
// With `lock` held: the stream behind `handle`, or null with BASS_ERROR_HANDLE set.
Stream* FindStreamLocked(Engine& engine, DWORD handle);
// With `lock` held: output frames heard so far.
uint64_t HeardLocked(Engine& engine);

}  // namespace quarvel::audio
