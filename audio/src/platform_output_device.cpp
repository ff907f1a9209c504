// The engine's output on the platform's shared PCM output.
#include "output_device.h"

#include <quarvel/audio_output.h>

#include "record_hooks.h"
#include "recorded_output.h"

namespace quarvel::bass {
namespace {

class PlatformOutputDevice : public OutputDevice {
public:
    explicit PlatformOutputDevice(quarvel::audio::Output* output) : output_(output) {}
    ~PlatformOutputDevice() override { quarvel::audio::CloseOutput(output_); }

    uint64_t FramesHeard() override { return quarvel::audio::FramesHeard(output_); }
    bool IsNull() const override { return quarvel::audio::IsNullOutput(output_); }

private:
    quarvel::audio::Output* output_;
};

}  // namespace

std::unique_ptr<OutputDevice> StartOutputDevice(bool silent, int rate, RenderFunction render,
                                                void* user) {
    if (quarvel::record::Active()) return StartRecordedOutput(rate, render, user);
    quarvel::audio::Output* output = silent ? quarvel::audio::OpenNullOutput(rate, render, user)
                                            : quarvel::audio::OpenOutput(rate, render, user);
    if (output == nullptr) return nullptr;
    quarvel::audio::StartOutput(output);
    return std::make_unique<PlatformOutputDevice>(output);
}

}  // namespace quarvel::bass
