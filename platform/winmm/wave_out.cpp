// The waveOut* calls: argument checks with the results Windows gives, and the handle table.
// Handles are slot numbers with a generation, so a closed or made-up handle is refused
// rather than followed.
#include "wave_device.h"

#include <mutex>

using quarvel::winmm::WaveDevice;

namespace {

constexpr int kSlots = 16;

struct Slot {
    WaveDevice* device = nullptr;
    uint32_t generation = 0;
};
Slot slots[kSlots];
std::mutex tableLock;

HWAVEOUT MakeHandle(int slot, uint32_t generation)
{
    return reinterpret_cast<HWAVEOUT>((uintptr_t)(generation << 5 | (uint32_t)(slot + 1)));
}

WaveDevice* Find(HWAVEOUT hwo)
{
    uintptr_t v = reinterpret_cast<uintptr_t>(hwo);
    int slot = (int)(v & 31) - 1;
    if (slot < 0 || slot >= kSlots) return nullptr;
    std::lock_guard<std::mutex> hold(tableLock);
    if (slots[slot].device == nullptr || slots[slot].generation != (uint32_t)(v >> 5)) return nullptr;
    return slots[slot].device;
}

bool Supported(const WAVEFORMATEX& f)
{
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           f.wBitsPerSample == 16 && f.nBlockAlign == f.nChannels * 2 &&
           f.nSamplesPerSec >= 1000 && f.nSamplesPerSec <= 384000;
}

MMRESULT CheckHeader(LPWAVEHDR pwh, UINT cbwh)
{
    return pwh == nullptr || cbwh < sizeof(WAVEHDR) ? MMSYSERR_INVALPARAM : MMSYSERR_NOERROR;
}

}  // namespace

extern "C" {

UINT WINAPI waveOutGetNumDevs(void)
{
    return 1;
}

MMRESULT WINAPI waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx,
                            DWORD_PTR dwCallback, DWORD_PTR dwInstance, DWORD fdwOpen)
{
    (void)dwCallback;
    (void)dwInstance;
    const DWORD known = CALLBACK_TYPEMASK | WAVE_FORMAT_QUERY | WAVE_ALLOWSYNC | WAVE_MAPPED;
    if (fdwOpen & ~known) return MMSYSERR_INVALFLAG;
    if (uDeviceID != WAVE_MAPPER && uDeviceID != 0) return MMSYSERR_BADDEVICEID;
    if (pwfx == nullptr) return MMSYSERR_INVALPARAM;
    // Done notifications (window, thread, function, event) are not implemented here; the
    // callers poll WHDR_DONE or the position.
    if ((fdwOpen & CALLBACK_TYPEMASK) != CALLBACK_NULL) return MMSYSERR_NOTSUPPORTED;
    if (!Supported(*pwfx)) return WAVERR_BADFORMAT;
    if (fdwOpen & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
    if (phwo == nullptr) return MMSYSERR_INVALPARAM;

    std::lock_guard<std::mutex> hold(tableLock);
    int slot = 0;
    while (slot < kSlots && slots[slot].device != nullptr) slot++;
    if (slot == kSlots) return MMSYSERR_NOMEM;
    WaveDevice* device = new WaveDevice;
    if (!quarvel::winmm::OpenDevice(*device, *pwfx)) {
        delete device;
        return MMSYSERR_NODRIVER;
    }
    slots[slot].device = device;
    slots[slot].generation = (slots[slot].generation + 1) & 0x7ffffff;
    *phwo = MakeHandle(slot, slots[slot].generation);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutClose(HWAVEOUT hwo)
{
    WaveDevice* device = Find(hwo);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard<std::mutex> hold(device->lock);
        if (!device->queue.empty()) return WAVERR_STILLPLAYING;
    }
    {
        std::lock_guard<std::mutex> hold(tableLock);
        int slot = (int)(reinterpret_cast<uintptr_t>(hwo) & 31) - 1;
        slots[slot].device = nullptr;
    }
    quarvel::winmm::CloseDevice(*device);
    delete device;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    WaveDevice* device = Find(hwo);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (MMRESULT r = CheckHeader(pwh, cbwh)) return r;
    std::lock_guard<std::mutex> hold(device->lock);
    if (pwh->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    pwh->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    WaveDevice* device = Find(hwo);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (MMRESULT r = CheckHeader(pwh, cbwh)) return r;
    std::lock_guard<std::mutex> hold(device->lock);
    if (pwh->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    pwh->dwFlags &= ~(DWORD)WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    WaveDevice* device = Find(hwo);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (MMRESULT r = CheckHeader(pwh, cbwh)) return r;
    std::lock_guard<std::mutex> hold(device->lock);
    if (!(pwh->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (pwh->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    // Loops are not played: every buffer plays once.
    pwh->dwFlags = (pwh->dwFlags & ~(DWORD)WHDR_DONE) | WHDR_INQUEUE;
    device->queue.push_back(pwh);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutReset(HWAVEOUT hwo)
{
    WaveDevice* device = Find(hwo);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    quarvel::winmm::ResetDevice(*device);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutGetPosition(HWAVEOUT hwo, LPMMTIME pmmt, UINT cbmmt)
{
    WaveDevice* device = Find(hwo);
    if (device == nullptr) return MMSYSERR_INVALHANDLE;
    if (pmmt == nullptr || cbmmt < sizeof(MMTIME)) return MMSYSERR_INVALPARAM;
    uint64_t bytes = quarvel::winmm::BytesHeard(*device);
    uint64_t samples = bytes / (uint64_t)device->blockAlign;
    switch (pmmt->wType) {
    case TIME_SAMPLES:
        pmmt->u.sample = (DWORD)samples;
        break;
    case TIME_MS:
        pmmt->u.ms = (DWORD)(samples * 1000 / (uint64_t)device->rate);
        break;
    default:
        // Formats a device cannot give come back as bytes, with wType saying so.
        pmmt->wType = TIME_BYTES;
        pmmt->u.cb = (DWORD)bytes;
        break;
    }
    return MMSYSERR_NOERROR;
}

}  // extern "C"
