// The real sound device through SDL2: SDL converts our S16 stereo to whatever the hardware
// wants and calls us back on its own thread.
#include "output_state.h"

#include <algorithm>
#include <cstring>

namespace quarvel::audio_output {
namespace {

// About 23 ms at 44.1 kHz: short enough that the heard position is close to the callback's,
// long enough not to underrun on a busy machine.
constexpr Uint16 kCallbackFrames = 1024;

void SdlCallback(void* userdata, Uint8* stream, int len) {
    auto& output = *static_cast<Output*>(userdata);
    int frames = len / 4;
    output.pull(output.user, reinterpret_cast<int16_t*>(stream), frames);

    std::lock_guard<std::mutex> hold(output.lock);
    Clock::time_point now = Clock::now();
    // Whatever the device still held has drained at the sample rate since the last call; it
    // now also holds what we just gave it, up to what its buffers can take.
    uint64_t heardBefore = EstimateHeardLocked(output, now);
    uint64_t held = output.pulled - heardBefore + static_cast<uint64_t>(frames);
    output.pulled += static_cast<uint64_t>(frames);
    output.heldAtLastPull = std::min(held, output.deviceBufferFrames);
    output.lastPull = now;
}

// Drivers that SDL offers but that reach nobody's ears: they would pace nothing useful (the
// dummy driver does not even run in real time), so the null output stands in for them.
bool IsSilentDriver(const char* name) {
    return name == nullptr || std::strcmp(name, "dummy") == 0 || std::strcmp(name, "disk") == 0;
}

}  // namespace

bool OpenSdlDevice(Output& output) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (IsSilentDriver(SDL_GetCurrentAudioDriver())) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = output.rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kCallbackFrames;
    want.callback = SdlCallback;
    want.userdata = &output;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts to the hardware's format, so the callback always sees
    // the frames we asked for.
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    output.device = device;
    output.isNull = false;
    // One period being played while the one just written waits behind it.
    output.deviceBufferFrames = 2u * std::max<Uint16>(have.samples, 1);
    return true;
}

void StartSdlDevice(Output& output) {
    {
        std::lock_guard<std::mutex> hold(output.lock);
        if (output.running) return;
        // Whatever was held when the device paused is still queued and plays out from now.
        output.heldAtLastPull = output.pulled - output.heardFloor;
        output.lastPull = Clock::now();
        output.running = true;
    }
    SDL_PauseAudioDevice(output.device, 0);
}

void PauseSdlDevice(Output& output) {
    // SDL waits for a running callback here; our lock must not be held, as the callback
    // takes it.
    SDL_PauseAudioDevice(output.device, 1);
    std::lock_guard<std::mutex> hold(output.lock);
    HeardLocked(output);
    output.running = false;
}

void CloseSdlDevice(Output& output) {
    SDL_CloseAudioDevice(output.device);
    output.device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace quarvel::audio_output
