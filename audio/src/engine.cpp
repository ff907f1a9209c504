#include "engine.h"

#include "error_code.h"

#include <algorithm>
#include <cmath>

namespace quarvel::audio {

Engine::~Engine() {
    std::lock_guard<std::mutex> hold(lifecycle);
    ShutDownLocked(*this);
}

Engine& TheEngine() {
    static Engine engine;
    return engine;
}

void ShutDownLocked(Engine& engine) {
    std::unique_ptr<OutputDevice> output;
    std::map<DWORD, std::unique_ptr<Stream>> streams;
    {
        std::lock_guard<std::mutex> hold(engine.lock);
        output = std::move(engine.output);
        streams = std::move(engine.streams);
        engine.streams.clear();
        engine.rate = 0;
    }
    // The output first: once it is closed nothing renders, and the streams' threads can go.
    output.reset();
    streams.clear();
}

Stream* FindStreamLocked(Engine& engine, DWORD handle) {
    auto found = engine.streams.find(handle);
    if (found == engine.streams.end()) {
        SetError(BASS_ERROR_HANDLE);
        return nullptr;
    }
    return found->second.get();
}

uint64_t HeardLocked(Engine& engine) {
    return engine.output ? engine.output->FramesHeard() : 0;
}

}  // namespace quarvel::audio
