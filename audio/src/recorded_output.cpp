#include "recorded_output.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "record_hooks.h"
#include "render.h"

namespace quarvel::audio {
namespace {

// Well under what a stream decodes ahead, so a chunk can always become ready.
constexpr uint64_t kChunkFrames = 4096;

class RecordedOutput final : public OutputDevice {
public:
    RecordedOutput(int rate, RenderFunction render, void* user)
        : render_(render), user_(user), scratch_(kChunkFrames * 2) {
        quarvel::record::AudioOpened(rate, &RecordedOutput::RenderUpTo, this);
    }
    ~RecordedOutput() override { quarvel::record::AudioClosed(); }

    uint64_t FramesHeard() override { return quarvel::record::AudioFramesHeard(); }
    bool IsNull() const override { return true; }

private:
    // Runs on the thread that moved the clock, never under the engine's lock.
    static void RenderUpTo(void* self, uint64_t frames) {
        auto& output = *static_cast<RecordedOutput*>(self);
        while (output.rendered_ < frames) {
            const int chunk = static_cast<int>(std::min(kChunkFrames, frames - output.rendered_));
            // A stream that has not decoded this far would stall and fall behind the clock.
            while (!StreamsReadyToRender(output.user_, chunk)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            output.render_(output.user_, output.scratch_.data(), chunk);
            output.rendered_ += static_cast<uint64_t>(chunk);
        }
    }

    RenderFunction render_;
    void* user_;
    std::vector<int16_t> scratch_;
    uint64_t rendered_ = 0;
};

}  // namespace

std::unique_ptr<OutputDevice> StartRecordedOutput(int rate, RenderFunction render, void* user) {
    return std::make_unique<RecordedOutput>(rate, render, user);
}

}  // namespace quarvel::audio
