// One open wave-output device: the queue of headers it plays, fed to the shared PCM output
// from that output's thread, and the bookkeeping that turns frames heard into bytes played.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <quarvel/audio_output.h>

#include <deque>
#include <mutex>
#include <stdint.h>

namespace quarvel::winmm {

struct WaveDevice {
    std::mutex lock;
    audio_output::Output* output = nullptr;
    int channels = 2;
    int rate = 44100;
    int blockAlign = 4;

    std::deque<WAVEHDR*> queue;
    DWORD offset = 0;          // bytes of queue.front() already handed over

    // One record per pull of the output: which of its frames were ours. Within a pull the
    // data comes first, then silence once the queue has run dry.
    struct Pull {
        uint64_t start;        // output frame where the pull begins
        uint32_t frames;
        uint32_t dataFrames;
        uint64_t bytesBefore;  // data bytes handed over before this pull, since the reset
    };
    static constexpr int kPulls = 256;
    Pull pulls[kPulls];
    int pullCount = 0;         // valid records, newest at (pullNext - 1)
    int pullNext = 0;
    uint64_t pulledFrames = 0;
    uint64_t resetFrame = 0;   // pulls that began before this are from before the reset
    uint64_t bytesOut = 0;     // data bytes handed over since the reset
};

// Opens the output for a checked format and starts it; false when no output could be made.
bool OpenDevice(WaveDevice& device, const WAVEFORMATEX& format);
void CloseDevice(WaveDevice& device);
// Marks every queued header done, forgets them and sets the position back to zero.
void ResetDevice(WaveDevice& device);
// Bytes of data that have reached the listener since the open or the last reset.
uint64_t BytesHeard(WaveDevice& device);

}  // namespace quarvel::winmm
