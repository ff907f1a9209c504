// A stereo 16-bit PCM output that pulls its samples from a callback on a thread of its own.
// Shared by the audio library and the wave-output stand-in. On a machine without a sound
// device it runs a null output that still consumes samples in real time, so every clock that
// is read from it keeps running.
//
// QUARVEL_AUDIO_SPEED=N (a positive number) makes the null output consume N times faster
// than real time, so tests of whole pieces of music finish quickly. A real device ignores it.
#pragma once

#include <stdint.h>

namespace quarvel::audio_output {

// Fills `frameCount` interleaved stereo frames. Called on the output's thread, never on two
// threads at once, and never while any function below holds the output's own lock.
using PullCallback = void (*)(void* user, int16_t* frames, int frameCount);

struct Output;

// Opens the default device at `sampleRate` Hz, stereo, 16-bit, paused.
// Falls back to the null output when no device can be opened, or when SDL's audio driver is
// one that plays nothing ("dummy", "disk"). Returns null only for a sample rate outside
// 1000..384000 Hz or a null callback.
Output* OpenOutput(int sampleRate, PullCallback pull, void* user);
// The null output, whatever devices exist (for callers that were asked for "no sound").
Output* OpenNullOutput(int sampleRate, PullCallback pull, void* user);
void StartOutput(Output* output);
void PauseOutput(Output* output);
// Stops the thread and closes the device; no callback runs after this returns. Must not be
// called from inside the callback.
void CloseOutput(Output* output);

// Frames that have reached the listener: those pulled minus those still waiting in the
// device's buffer. Never decreases, and stands still while the output is paused. This is the
// one place that says what "now" is for everything reading a clock from the output.
uint64_t FramesHeard(Output* output);
// Frames handed over by the callback so far.
uint64_t FramesPulled(Output* output);
bool IsNullOutput(Output* output);
int OutputSampleRate(Output* output);

}  // namespace quarvel::audio_output
