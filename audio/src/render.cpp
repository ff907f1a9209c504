// The render step: runs on the output's thread for every buffer the device asks for.
#include "render.h"

#include "engine.h"

#include <algorithm>
#include <cmath>

namespace quarvel::audio {

void RenderMix(void* user, int16_t* frames, int frameCount) {
    if (frames == nullptr || frameCount <= 0) return;
    auto& engine = *static_cast<Engine*>(user);
    std::lock_guard<std::mutex> hold(engine.lock);
    auto samples = static_cast<size_t>(frameCount) * 2;
    if (engine.mix.size() < samples) engine.mix.resize(samples);
    std::fill(engine.mix.begin(), engine.mix.begin() + static_cast<std::ptrdiff_t>(samples), 0.0f);
    if (engine.rate > 0) {
        for (auto& [handle, stream] : engine.streams) {
            if (stream->IsPlayingLocked()) {
                stream->RenderLocked(engine.mix.data(), frameCount, engine.rendered, engine.rate);
            }
        }
    }
    engine.rendered += static_cast<uint64_t>(frameCount);
    for (size_t i = 0; i < samples; ++i) {
        float scaled = std::round(engine.mix[i] * 32768.0f);
        frames[i] = static_cast<int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
    }
}

bool StreamsReadyToRender(void* user, int frameCount) {
    auto& engine = *static_cast<Engine*>(user);
    std::lock_guard<std::mutex> hold(engine.lock);
    for (auto& [handle, stream] : engine.streams)
        if (engine.rate > 0 && !stream->DecodedAheadLocked(frameCount, engine.rate)) return false;
    return true;
}

}  // namespace quarvel::audio
