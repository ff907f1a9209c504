// A stereo 16-bit PCM output that pulls its samples from a callback on a thread of its own.
// Shared by the audio library and the wave-output stand-in. On a machine without a sound
// device it runs a null output that still consumes samples in real time, so every clock that
// is read from it keeps running.
#pragma once

#include <stdint.h>

namespace quarvel::audio {

// Fills `frameCount` interleaved stereo frames. Called on the output's thread.
using PullCallback = void (*)(void* user, int16_t* frames, int frameCount);

struct Output;

// Opens the default device at `sampleRate` Hz, stereo, 16-bit, paused.
// Falls back to the null output when no device can be opened; never returns null.
Output* OpenOutput(int sampleRate, PullCallback pull, void* user);
void StartOutput(Output* output);
void PauseOutput(Output* output);
// Stops the thread and closes the device; no callback runs after this returns.
void CloseOutput(Output* output);

// Frames that have reached the listener: those pulled minus those still waiting in the
// device's buffer. Never decreases while the output runs.
uint64_t FramesHeard(Output* output);
// Frames handed over by the callback so far.
uint64_t FramesPulled(Output* output);
bool IsNullOutput(Output* output);

}  // namespace quarvel::audio
