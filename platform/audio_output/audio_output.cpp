// The public face of the PCM output: argument checks, the choice between the SDL device and
// the null output, and the heard-frames clock that every caller reads.
#include "output_state.h"

#include <algorithm>

namespace quarvel::audio_output {
namespace {

constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;

Output* NewOutput(int sampleRate, PullCallback pull, void* user) {
    if (sampleRate < kMinRate || sampleRate > kMaxRate || pull == nullptr) return nullptr;
    Output* output = new Output;
    output->rate = sampleRate;
    output->pull = pull;
    output->user = user;
    return output;
}

}  // namespace

uint64_t HeardLocked(Output& output) {
    if (output.running) {
        output.heardFloor = std::max(output.heardFloor, EstimateHeardLocked(output, Clock::now()));
    }
    return output.heardFloor;
}

uint64_t EstimateHeardLocked(const Output& output, Clock::time_point now) {
    double seconds = std::chrono::duration<double>(now - (output.isNull ? output.anchorTime
                                                                        : output.lastPull))
                         .count();
    seconds = std::max(0.0, seconds);
    if (output.isNull) {
        auto played = output.anchorFrames +
                      static_cast<uint64_t>(seconds * output.rate * output.speed);
        return std::min(output.pulled, played);
    }
    auto drained = static_cast<uint64_t>(seconds * output.rate);
    uint64_t held = output.heldAtLastPull > drained ? output.heldAtLastPull - drained : 0;
    return output.pulled - std::min(held, output.pulled);
}

Output* OpenOutput(int sampleRate, PullCallback pull, void* user) {
    Output* output = NewOutput(sampleRate, pull, user);
    if (output != nullptr && !OpenSdlDevice(*output)) OpenNullDevice(*output);
    return output;
}

Output* OpenNullOutput(int sampleRate, PullCallback pull, void* user) {
    Output* output = NewOutput(sampleRate, pull, user);
    if (output != nullptr) OpenNullDevice(*output);
    return output;
}

void StartOutput(Output* output) {
    if (output == nullptr) return;
    if (output->isNull) {
        StartNullDevice(*output);
    } else {
        StartSdlDevice(*output);
    }
}

void PauseOutput(Output* output) {
    if (output == nullptr) return;
    if (output->isNull) {
        PauseNullDevice(*output);
    } else {
        PauseSdlDevice(*output);
    }
}

void CloseOutput(Output* output) {
    if (output == nullptr) return;
    if (output->isNull) {
        CloseNullDevice(*output);
    } else {
        CloseSdlDevice(*output);
    }
    delete output;
}

uint64_t FramesHeard(Output* output) {
    if (output == nullptr) return 0;
    std::lock_guard<std::mutex> hold(output->lock);
    return HeardLocked(*output);
}

uint64_t FramesPulled(Output* output) {
    if (output == nullptr) return 0;
    std::lock_guard<std::mutex> hold(output->lock);
    return output->pulled;
}

bool IsNullOutput(Output* output) { return output != nullptr && output->isNull; }

int OutputSampleRate(Output* output) { return output == nullptr ? 0 : output->rate; }

}  // namespace quarvel::audio_output
