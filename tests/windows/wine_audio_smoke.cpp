// A console program for a smoke test of the audio library's Windows back end under Wine (or on
// Windows): the ACM decoder through the internal decoder interface, then the library's calls
// on the wave output. Prints what it saw; exit status 0 when every check held.
//
// usage: quarvel_wine_audio_smoke MUSIC.mp3 DECODED.raw [--unpaced]
//   DECODED.raw receives the decoded samples (16-bit, interleaved), for comparing with a
//   reference decoder elsewhere. --unpaced: the wave device consumes faster than real time (a
//   null sound device), so the position only has to move on, not keep to the wall clock.
#include "byte_source.h"
#include "decoder.h"

#include <bass.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace quarvel::audio;

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++failures;
}

}  // namespace

int main(int argc, char** argv) {
    bool unpaced = argc == 4 && std::strcmp(argv[3], "--unpaced") == 0;
    if (argc != 3 && !unpaced) {
        std::fprintf(stderr, "usage: %s MUSIC.mp3 DECODED.raw [--unpaced]\n", argv[0]);
        return 2;
    }
    const char* music = argv[1];

    int error = -1;
    std::unique_ptr<Decoder> decoder = OpenMp3Decoder(OpenFileSource(music, 0, 0), &error);
    Check(decoder != nullptr, "the ACM decoder opens the music");
    if (decoder == nullptr) {
        std::printf("error code %d\n", error);
        return 1;
    }
    PcmFormat format = decoder->Format();
    std::printf("format: %d Hz, %d channels\n", format.rate, format.channels);
    std::vector<int16_t> all;
    std::vector<int16_t> chunk(4096 * 2);
    for (;;) {
        int got = decoder->Read(chunk.data(), 4096);
        if (got <= 0) {
            Check(got == 0, "decoding ends without a fault");
            break;
        }
        all.insert(all.end(), chunk.begin(), chunk.begin() + got * format.channels);
    }
    size_t frames = all.size() / static_cast<size_t>(format.channels);
    std::printf("decoded: %zu frames (%.3f s)\n", frames, static_cast<double>(frames) / format.rate);
    if (FILE* out = std::fopen(argv[2], "wb")) {
        std::fwrite(all.data(), sizeof(int16_t), all.size(), out);
        std::fclose(out);
    }
    Check(decoder->Rewind(), "the decoder rewinds");
    int again = decoder->Read(chunk.data(), 4096);
    bool same = again > 0 && std::equal(chunk.begin(), chunk.begin() + again * format.channels, all.begin());
    Check(same, "after the rewind it decodes the same first samples");
    decoder.reset();

    // With no wave device the library plays to its null output, whose clock runs all the same.
    std::printf("wave output devices: %u\n", waveOutGetNumDevs());
    Check(BASS_Init(-1, 44100, 0, nullptr, nullptr) == TRUE, "BASS_Init on the default device");
    HSTREAM stream = BASS_StreamCreateFile(FALSE, music, 0, 0, 0);
    Check(stream != 0, "BASS_StreamCreateFile");
    Check(BASS_ChannelPlay(stream, TRUE) == TRUE, "BASS_ChannelPlay");
    DWORD started = GetTickCount();
    double first = -1.0, last = -1.0;
    bool monotonic = true, active = true;
    float loudest = 0.0f, strongestBin = 0.0f;
    while (GetTickCount() - started < 2000) {
        active = active && BASS_ChannelIsActive(stream) != BASS_ACTIVE_STOPPED;
        double seconds = BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetPosition(stream, BASS_POS_BYTE));
        if (first < 0.0) first = seconds;
        monotonic = monotonic && seconds >= last;
        last = seconds;
        BASS_Update(0);
        float level = 0.0f;
        if (BASS_ChannelGetLevelEx(stream, &level, 0.05f, BASS_LEVEL_MONO | BASS_LEVEL_RMS))
            loudest = std::max(loudest, level);
        float bins[1024];
        if (BASS_ChannelGetData(stream, bins, BASS_DATA_FFT2048) == sizeof(bins))
            for (float bin : bins) strongestBin = std::max(strongestBin, bin);
        Sleep(16);
    }
    double elapsed = (GetTickCount() - started) / 1000.0;
    std::printf("position: %.3f s to %.3f s over %.3f s; loudest %.3f, strongest bin %.3f\n", first, last,
                elapsed, loudest, strongestBin);
    Check(active, "the stream stays active");
    Check(monotonic, "the position never goes back");
    if (unpaced)
        Check(last - first > 0.5 * elapsed, "the position runs at least at half real time");
    else
        Check(last - first > 0.5 * elapsed && last - first < 1.2 * elapsed, "the position runs at about real time");
    Check(loudest > 0.01f, "the level of the heard music is not silence");
    Check(strongestBin > 0.001f, "the spectrum of the heard music is not empty");
    Check(BASS_ChannelStop(stream) == TRUE, "BASS_ChannelStop");
    std::printf("%s\n", failures == 0 ? "all checks held" : "some checks failed");
    return failures == 0 ? 0 : 1;
}
