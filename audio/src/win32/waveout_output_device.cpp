// The engine's output on Windows: winmm wave output, fed by a thread of ours that keeps a few
// buffers queued. The heard clock is the device's own played-samples counter, so it is right
// whatever the driver's latency.
#include "output_device.h"

#include "heard_clock.h"
#include "null_output_device.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace quarvel::audio {
namespace {

// Four buffers of about 46 ms at 44.1 kHz: enough to ride over a late wake-up of the feeding
// thread, little enough that the spectrum of what is heard is not far behind what is rendered.
constexpr int kBufferCount = 4;
constexpr int kBufferFrames = 2048;
constexpr int kFrameBytes = 4;  // stereo, 16-bit
// The feeding thread looks at its buffers at least this often even if no signal comes.
constexpr DWORD kWakeMilliseconds = 50;

class WaveOutDevice : public OutputDevice {
public:
    WaveOutDevice(HWAVEOUT wave, HANDLE doneEvent, RenderFunction render, void* user)
        : wave_(wave), doneEvent_(doneEvent), render_(render), user_(user) {
        for (int i = 0; i < kBufferCount; ++i) {
            samples_[i].assign(static_cast<size_t>(kBufferFrames) * 2, 0);
            WAVEHDR& header = headers_[i];
            header = WAVEHDR{};
            header.lpData = reinterpret_cast<LPSTR>(samples_[i].data());
            header.dwBufferLength = kBufferFrames * kFrameBytes;
            prepared_[i] = waveOutPrepareHeader(wave_, &header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
        }
        thread_ = std::thread(&WaveOutDevice::Feed, this);
    }

    ~WaveOutDevice() override {
        quit_ = true;
        SetEvent(doneEvent_);
        thread_.join();
        waveOutReset(wave_);  // hands every queued buffer back
        for (int i = 0; i < kBufferCount; ++i) {
            if (prepared_[i]) waveOutUnprepareHeader(wave_, &headers_[i], sizeof(WAVEHDR));
        }
        waveOutClose(wave_);
        CloseHandle(doneEvent_);
    }

    uint64_t FramesHeard() override {
        std::lock_guard<std::mutex> hold(clockLock_);
        MMTIME time{};
        time.wType = TIME_SAMPLES;
        if (waveOutGetPosition(wave_, &time, sizeof(time)) != MMSYSERR_NOERROR) return clock_.Floor();
        uint64_t written = written_.load();
        switch (time.wType) {
            case TIME_SAMPLES: return clock_.Update(time.u.sample, written);
            case TIME_BYTES: return clock_.Update(time.u.cb / kFrameBytes, written);
            default: return clock_.Floor();  // a driver that counts in neither
        }
    }

    bool IsNull() const override { return false; }

private:
    void Feed() {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        bool queued[kBufferCount] = {};
        while (!quit_) {
            for (int i = 0; i < kBufferCount && !quit_; ++i) {
                WAVEHDR& header = headers_[i];
                if (!prepared_[i] || (queued[i] && (header.dwFlags & WHDR_DONE) == 0)) continue;
                render_(user_, samples_[i].data(), kBufferFrames);
                header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
                queued[i] = waveOutWrite(wave_, &header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
                if (queued[i]) written_ += kBufferFrames;
            }
            WaitForSingleObject(doneEvent_, kWakeMilliseconds);
        }
    }

    const HWAVEOUT wave_;
    const HANDLE doneEvent_;
    const RenderFunction render_;
    void* const user_;
    WAVEHDR headers_[kBufferCount];
    bool prepared_[kBufferCount] = {};
    std::vector<int16_t> samples_[kBufferCount];

    std::atomic<bool> quit_{false};
    std::atomic<uint64_t> written_{0};
    std::mutex clockLock_;
    HeardClock clock_;
    std::thread thread_;
};

std::unique_ptr<OutputDevice> OpenWaveOut(int rate, RenderFunction render, void* user) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = kFrameBytes;
    format.nAvgBytesPerSec = format.nSamplesPerSec * kFrameBytes;
    HANDLE doneEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (doneEvent == nullptr) return nullptr;
    HWAVEOUT wave = nullptr;
    if (waveOutOpen(&wave, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(doneEvent), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        CloseHandle(doneEvent);
        return nullptr;
    }
    return std::make_unique<WaveOutDevice>(wave, doneEvent, render, user);
}

}  // namespace

std::unique_ptr<OutputDevice> StartOutputDevice(bool silent, int rate, RenderFunction render,
                                                void* user) {
    if (rate <= 0 || render == nullptr) return nullptr;
    if (!silent) {
        if (std::unique_ptr<OutputDevice> device = OpenWaveOut(rate, render, user)) return device;
    }
    // No wave device (or none wanted): the clock still has to run.
    return StartNullOutputDevice(rate, render, user);
}

}  // namespace quarvel::audio
