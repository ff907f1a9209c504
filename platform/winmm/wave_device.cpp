// Feeding queued wave headers to the shared PCM output, and the played position.
#include "wave_device.h"

#include <algorithm>
#include <string.h>

namespace quarvel::winmm {
namespace {

void Finish(WAVEHDR* header)
{
    header->dwFlags = (header->dwFlags | WHDR_DONE) & ~(DWORD)WHDR_INQUEUE;
}

// Runs on the output's thread.
void Pull(void* user, int16_t* frames, int frameCount)
{
    WaveDevice& d = *static_cast<WaveDevice*>(user);
    std::lock_guard<std::mutex> hold(d.lock);
    const uint64_t bytesBefore = d.bytesOut;
    int filled = 0;
    while (filled < frameCount && !d.queue.empty()) {
        WAVEHDR* h = d.queue.front();
        DWORD whole = h->dwBufferLength - h->dwBufferLength % (DWORD)d.blockAlign;
        if (h->lpData == nullptr || d.offset >= whole) {
            // A trailing part of a frame is never played, as on Windows.
            Finish(h);
            d.queue.pop_front();
            d.offset = 0;
            continue;
        }
        int n = std::min<int>(frameCount - filled, (whole - d.offset) / d.blockAlign);
        const int16_t* src = reinterpret_cast<const int16_t*>(h->lpData + d.offset);
        int16_t* dst = frames + 2 * filled;
        if (d.channels == 2) {
            memcpy(dst, src, (size_t)n * 4);
        } else {
            for (int i = 0; i < n; i++) dst[2 * i] = dst[2 * i + 1] = src[i];
        }
        filled += n;
        d.offset += (DWORD)(n * d.blockAlign);
        d.bytesOut += (uint64_t)n * d.blockAlign;
    }
    memset(frames + 2 * filled, 0, (size_t)(frameCount - filled) * 4);

    WaveDevice::Pull& p = d.pulls[d.pullNext];
    p.start = d.pulledFrames;
    p.frames = (uint32_t)frameCount;
    p.dataFrames = (uint32_t)filled;
    p.bytesBefore = bytesBefore;
    d.pullNext = (d.pullNext + 1) % WaveDevice::kPulls;
    d.pullCount = std::min(d.pullCount + 1, WaveDevice::kPulls);
    d.pulledFrames += (uint64_t)frameCount;
}

}  // namespace

bool OpenDevice(WaveDevice& d, const WAVEFORMATEX& format)
{
    d.channels = format.nChannels;
    d.rate = (int)format.nSamplesPerSec;
    d.blockAlign = format.nBlockAlign;
    d.output = audio_output::OpenOutput(d.rate, Pull, &d);
    if (d.output == nullptr) return false;
    audio_output::StartOutput(d.output);
    return true;
}

void CloseDevice(WaveDevice& d)
{
    // Not under our lock: closing waits for a running pull, which takes it.
    audio_output::CloseOutput(d.output);
    d.output = nullptr;
}

void ResetDevice(WaveDevice& d)
{
    std::lock_guard<std::mutex> hold(d.lock);
    for (WAVEHDR* h : d.queue) Finish(h);
    d.queue.clear();
    d.offset = 0;
    d.bytesOut = 0;
    d.resetFrame = d.pulledFrames;
    d.pullCount = 0;
}

uint64_t BytesHeard(WaveDevice& d)
{
    const uint64_t heard = audio_output::FramesHeard(d.output);
    std::lock_guard<std::mutex> hold(d.lock);
    if (heard < d.resetFrame || d.pullCount == 0) return 0;
    // Newest pull first: the listener is usually a pull or two behind.
    for (int k = 1; k <= d.pullCount; k++) {
        const WaveDevice::Pull& p = d.pulls[(d.pullNext - k + WaveDevice::kPulls) % WaveDevice::kPulls];
        if (heard >= p.start + p.frames) return p.bytesBefore + (uint64_t)p.dataFrames * d.blockAlign;
        if (heard >= p.start) {
            uint64_t f = std::min<uint64_t>(heard - p.start, p.dataFrames);
            return p.bytesBefore + f * d.blockAlign;
        }
    }
    // Older than every record kept: the oldest one's start is the best we know.
    return d.pulls[(d.pullNext - d.pullCount + WaveDevice::kPulls) % WaveDevice::kPulls].bytesBefore;
}

}  // namespace quarvel::winmm
