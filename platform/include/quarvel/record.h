// Recording a run instead of showing it: QUARVEL_RECORD=PATH (a folder of numbered PNG
// frames, or a .mp4 / .mkv video made by ffmpeg), QUARVEL_RECORD_FPS (default 30) and
// QUARVEL_RECORD_TIMES (music times to visit, one frame each). While recording, GetTickCount
// and Sleep run on a virtual clock that every Present moves on by 1 / fps, and the audio
// library's output follows the same clock, so frame k of the main loop shows music time
// k / fps whatever the machine's speed.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace quarvel::record {

// Reads the settings and, when recording, installs the virtual clock and checks the output
// can be written. False (after a message on standard error) when the settings are unusable:
// the program should then exit without running.
bool Start();
// Ends the recording (closes the video, waits for ffmpeg) and returns the exit status to
// use: `status` itself, or non-zero when the recording failed.
int Finish(int status);

bool Active();

// The Direct3D stand-in hands every presented frame here: RGBA8, rows top first.
void FramePresented(const uint8_t* rgba, uint32_t width, uint32_t height);

// The audio library's side. Its output, while recording, renders on demand: `render` is
// called (never under the library's own lock) to bring the rendered output frames up to
// `frames` after every step of the clock.
using AudioRender = void (*)(void* user, uint64_t frames);
void AudioOpened(int rate, AudioRender render, void* user);
void AudioClosed();
// Output frames heard so far on the virtual clock, counted from AudioOpened.
uint64_t AudioFramesHeard();
// The music file, for the video's sound track.
void MusicFileOpened(const char* path);
// Playback of the music began: from here presented frames are the main loop's. The clock
// moves to the first loop frame's music time, so this renders like any other step of it and
// must not be called under the library's lock either.
void MusicStarted();
// With QUARVEL_RECORD_TIMES: the last time has been shown, and the music is to end.
bool MusicOver();

}  // namespace quarvel::record
