// Level and spectrum of what is being heard. The heard audio is copied out of the stream's
// history under the engine's lock; the arithmetic runs after it is released.
#include "analysis.h"
#include "engine.h"
#include "error_code.h"

#include <bass.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace quarvel::audio;

namespace {

constexpr float kMaxLevelSeconds = 1.0f;

// Copies the stereo frames that end at the heard position into `stereo`: `seconds` of them
// at the stream's rate, or `frames` when `seconds` is 0. Gives their count, or -1 with the
// error set when the handle is bad or the stream is not (or no longer) playing.
int CopyHeard(DWORD handle, float seconds, int frames, std::vector<float>& stereo, int* channels) {
    Engine& engine = TheEngine();
    std::lock_guard<std::mutex> hold(engine.lock);
    Stream* stream = FindStreamLocked(engine, handle);
    if (stream == nullptr) return -1;
    uint64_t heard = HeardLocked(engine);
    if (stream->ActivityLocked(heard) == BASS_ACTIVE_STOPPED) {
        SetError(stream->EndedLocked() ? BASS_ERROR_ENDED : BASS_ERROR_NOPLAY);
        return -1;
    }
    if (seconds > 0.0f) frames = std::max(1, static_cast<int>(std::lround(seconds * stream->Format().rate)));
    *channels = stream->Format().channels;
    stereo.resize(static_cast<size_t>(frames) * 2);
    stream->HistoryLocked(stream->PositionLocked(heard), frames, stereo.data());
    return frames;
}

// Mixes stereo frames to mono in place: sample i of the result replaces float i.
void MixToMono(std::vector<float>& stereo, int frames) {
    for (size_t i = 0; i < static_cast<size_t>(frames); ++i) {
        stereo[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    }
}

}  // namespace

// flags: BASS_LEVEL_MONO (one value, the channels mixed), BASS_LEVEL_STEREO (two), or
// neither (one per channel of the stream); with BASS_LEVEL_RMS the RMS, otherwise the
// peak. length: seconds ending at the heard position, at most one.
BOOL BASS_ChannelGetLevelEx(DWORD handle, float* levels, float length, DWORD flags) {
    if (levels == nullptr || !(length > 0.0f && length <= kMaxLevelSeconds)) {
        SetError(BASS_ERROR_ILLPARAM);
        return FALSE;
    }
    if ((flags & ~static_cast<DWORD>(BASS_LEVEL_MONO | BASS_LEVEL_STEREO | BASS_LEVEL_RMS)) != 0) {
        SetError(BASS_ERROR_NOTAVAIL);
        return FALSE;
    }
    if ((flags & BASS_LEVEL_MONO) && (flags & BASS_LEVEL_STEREO)) {
        SetError(BASS_ERROR_ILLPARAM);
        return FALSE;
    }
    thread_local std::vector<float> stereo;
    int channels = 0;
    int count = CopyHeard(handle, length, 0, stereo, &channels);
    if (count < 0) return FALSE;
    bool rms = (flags & BASS_LEVEL_RMS) != 0;
    if ((flags & BASS_LEVEL_MONO) || (!(flags & BASS_LEVEL_STEREO) && channels == 1)) {
        MixToMono(stereo, count);
        levels[0] = Level(stereo.data(), count, 1, rms);
    } else {
        levels[0] = Level(stereo.data(), count, 2, rms);
        levels[1] = Level(stereo.data() + 1, count, 2, rms);
    }
    SetError(BASS_OK);
    return TRUE;
}

// Only BASS_DATA_FFT2048: 1024 floats, scaled as Spectrum2048 describes, of the 2048 mono
// samples ending at the heard position. Returns the bytes written.
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    if (buffer == nullptr) {
        SetError(BASS_ERROR_ILLPARAM);
        return static_cast<DWORD>(-1);
    }
    if (length != BASS_DATA_FFT2048) {
        SetError(BASS_ERROR_NOTAVAIL);
        return static_cast<DWORD>(-1);
    }
    thread_local std::vector<float> stereo;
    int channels = 0;
    if (CopyHeard(handle, 0.0f, Spectrum2048::kSize, stereo, &channels) < 0) return static_cast<DWORD>(-1);
    MixToMono(stereo, Spectrum2048::kSize);
    Engine& engine = TheEngine();
    {
        std::lock_guard<std::mutex> hold(engine.spectrumLock);
        engine.spectrum.Compute(stereo.data(), static_cast<float*>(buffer));
    }
    SetError(BASS_OK);
    return Spectrum2048::kBins * sizeof(float);
}
