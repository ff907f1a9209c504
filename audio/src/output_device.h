// Where the engine's mix goes: a stereo 16-bit output pulling from a render function on a
// thread of its own. Each platform gives one (the shared PCM output on Linux; winmm on
// Windows); the engine reads its clock only through FramesHeard.
#pragma once

#include <cstdint>
#include <memory>

namespace quarvel::audio {

using RenderFunction = void (*)(void* user, int16_t* frames, int frameCount);

class OutputDevice {
public:
    virtual ~OutputDevice() = default;
    // Frames that have reached the listener so far; never decreases.
    virtual uint64_t FramesHeard() = 0;
    virtual bool IsNull() const = 0;
};

// A running output at `rate` Hz: the default device, or the null output when `silent` is set
// or no device can be opened. Null only for arguments the output refuses.
std::unique_ptr<OutputDevice> StartOutputDevice(bool silent, int rate, RenderFunction render,
                                                void* user);

}  // namespace quarvel::audio
