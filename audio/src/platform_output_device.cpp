// The engine's output on the platform's shared PCM output.
#include "output_device.h"

#include <quarvel/audio_output.h>

#include "record_hooks.h"
#include "recorded_output.h"

namespace quarvel::audio {
namespace {

class PlatformOutputDevice : public OutputDevice {
public:
    explicit PlatformOutputDevice(audio_output::Output* output) : output_(output) {}
    ~PlatformOutputDevice() override { audio_output::CloseOutput(output_); }

    uint64_t FramesHeard() override { return audio_output::FramesHeard(output_); }
    bool IsNull() const override { return audio_output::IsNullOutput(output_); }

private:
    audio_output::Output* output_;
};

}  // namespace

std::unique_ptr<OutputDevice> StartOutputDevice(bool silent, int rate, RenderFunction render,
                                                void* user) {
    if (quarvel::record::Active()) return StartRecordedOutput(rate, render, user);
    audio_output::Output* output =
        silent ? audio_output::OpenNullOutput(rate, render, user) : audio_output::OpenOutput(rate, render, user);
    if (output == nullptr) return nullptr;
    audio_output::StartOutput(output);
    return std::make_unique<PlatformOutputDevice>(output);
}

}  // namespace quarvel::audio
