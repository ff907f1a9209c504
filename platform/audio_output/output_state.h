// What one open output holds, shared by the SDL device and the null output.
#pragma once

#include <quarvel/audio_output.h>

#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace quarvel::audio_output {

using Clock = std::chrono::steady_clock;

struct Output {
    int rate = 0;
    PullCallback pull = nullptr;
    void* user = nullptr;
    bool isNull = false;

    std::mutex lock;
    uint64_t pulled = 0;
    // The last value FramesHeard gave; also the frozen clock while paused.
    uint64_t heardFloor = 0;
    bool running = false;

    // SDL device: the frames it still held right after the last callback, and when that was.
    SDL_AudioDeviceID device = 0;
    uint64_t deviceBufferFrames = 0;
    uint64_t heldAtLastPull = 0;
    Clock::time_point lastPull;

    // Null output: a clock that reads anchorFrames at anchorTime and runs at rate * speed.
    double speed = 1.0;
    int chunkFrames = 0;
    uint64_t anchorFrames = 0;
    Clock::time_point anchorTime;
    bool closing = false;
    std::condition_variable wake;
    std::thread thread;
    std::vector<int16_t> scratch;
};

// Frames heard at `now`, without the monotonic floor; `lock` held.
uint64_t EstimateHeardLocked(const Output& output, Clock::time_point now);
// The clock as it stands now, never below what it said before (frozen while not running);
// `lock` held.
uint64_t HeardLocked(Output& output);

bool OpenSdlDevice(Output& output);
void StartSdlDevice(Output& output);
void PauseSdlDevice(Output& output);
void CloseSdlDevice(Output& output);

void OpenNullDevice(Output& output);
void StartNullDevice(Output& output);
void PauseNullDevice(Output& output);
void CloseNullDevice(Output& output);

}  // namespace quarvel::audio_output
