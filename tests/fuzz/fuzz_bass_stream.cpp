// The audio library on arbitrary bytes in memory, as BASS_StreamCreateFile(TRUE, ...)
// receives them. Two halves: the decoder that the stream runs on its own thread, driven
// here to the end of the data on this thread so every input is decoded whole and the same
// way each run; then the calls the program makes, on a stream over the same bytes.
#include <bass.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "byte_source.h"
#include "decoder.h"

namespace {

// More than any input can hold at the fuzzer's input sizes; a decoder that keeps producing
// past it is stuck.
constexpr long long kMaxFramesDecoded = 1 << 24;

void DecodeWhole(const uint8_t* data, size_t size) {
    int error = 0;
    std::unique_ptr<quarvel::audio::Decoder> decoder =
        quarvel::audio::OpenMp3Decoder(quarvel::audio::OpenMemorySource(data, size), &error);
    if (!decoder) {
        if (error == BASS_OK) abort();
        return;
    }
    const quarvel::audio::PcmFormat format = decoder->Format();
    if (format.rate <= 0 || (format.channels != 1 && format.channels != 2)) abort();
    std::vector<int16_t> frames(4096 * 2);
    for (int pass = 0; pass < 2; ++pass) {
        long long total = 0;
        for (;;) {
            const int got = decoder->Read(frames.data(), 4096);
            if (got <= 0) break;
            if (got > 4096) abort();
            total += got;
            if (total > kMaxFramesDecoded) abort();
        }
        if (!decoder->Rewind()) break;
    }
}

void UseStream(const uint8_t* data, size_t size) {
    const HSTREAM stream = BASS_StreamCreateFile(TRUE, data, 0, size, 0);
    if (stream == 0) {
        if (BASS_ErrorGetCode() == BASS_OK) abort();
        return;
    }
    BASS_ChannelPlay(stream, FALSE);
    BASS_Update(0);
    float levels[2] = {0, 0};
    if (BASS_ChannelGetLevelEx(stream, levels, 0.02f, BASS_LEVEL_STEREO | BASS_LEVEL_RMS)) {
        if (!std::isfinite(levels[0]) || !std::isfinite(levels[1])) abort();
    }
    BASS_ChannelGetLevelEx(stream, levels, 0.05f, BASS_LEVEL_MONO);
    std::vector<float> spectrum(1024);
    if (BASS_ChannelGetData(stream, spectrum.data(), BASS_DATA_FFT2048) == 1024 * sizeof(float)) {
        for (float bin : spectrum) {
            if (!std::isfinite(bin)) abort();
        }
    }
    const QWORD position = BASS_ChannelGetPosition(stream, BASS_POS_BYTE);
    BASS_ChannelBytes2Seconds(stream, position);
    BASS_ChannelIsActive(stream);
    BASS_ChannelStop(stream);
    BASS_ChannelPlay(stream, TRUE);
    // Joins the stream's decoder thread, which reads `data`, before the fuzzer reuses it.
    if (!BASS_StreamFree(stream)) abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // No sound device: the library plays to its null output, fast so that playing moves on.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("QUARVEL_AUDIO_SPEED", "16", 1);
    if (!BASS_Init(-1, 44100, 0, nullptr, nullptr)) abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodeWhole(data, size);
    UseStream(data, size);
    return 0;
}
