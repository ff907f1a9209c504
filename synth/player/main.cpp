// quarvel-synth: renders the synthesizer's song and plays it, showing the position in ticks
// and how long ago each track last struck; or writes the song as a WAV file.
//
//   quarvel-synth [--seek SECONDS]   play (q, Esc or Ctrl-C stops; left/right seek 10 s)
//   quarvel-synth --wav FILE         write the song, 16-bit stereo 44100 Hz, and exit
#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <thread>

#include "console.h"
#include "synth/synth.h"
#include "synth/wave.h"
#include "wav_file.h"

namespace {

const char* const kLabels[13] = {"ld1", "ld2", "ch1", "ch2", "ch3", "top", "pd1",
                                 "pd2", "pd3", "bas", "hat", "kck", "clp"};

int Usage(FILE* to)
{
    fprintf(to, "usage: quarvel-synth [--seek SECONDS] | --wav FILE\n");
    return to == stderr ? 2 : 0;
}

bool ParseSeconds(const char* text, float* out)
{
    char* end = nullptr;
    double v = strtod(text, &end);
    if (end == text || *end != '\0' || !(v >= 0) || v > 3600) return false;
    *out = (float)v;
    return true;
}

void PrintHeader()
{
    printf("  ticks   time  |");
    for (const char* l : kLabels) printf(" %s", l);
    printf("\n");
}

void PrintStatus(float ticks, bool terminal)
{
    float secs = ticks / tps;
    printf("%s%7.1f %3d:%02d |", terminal ? "\r" : "", ticks, (int)secs / 60, (int)secs % 60);
    for (int t = 0; t < numtr; t++) {
        // Ticks since the track's last note; a long-silent track shows dots.
        float since = insttrig(t, ticks);
        if (since < 100) printf(" %3d", (int)since);
        else printf("   .");
    }
    printf(terminal ? "  " : "\n");
    fflush(stdout);
}

bool Ended()
{
    return (int64_t)WaveTime.u.cb + (int64_t)NewMpos * 176400 >= MUSBYTES;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* wav = nullptr;
    float seek = 0;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--wav") && i + 1 < argc) {
            wav = argv[++i];
        } else if (!strcmp(argv[i], "--seek") && i + 1 < argc) {
            if (!ParseSeconds(argv[++i], &seek)) return Usage(stderr);
        } else if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            return Usage(stdout);
        } else {
            return Usage(stderr);
        }
    }

    fprintf(stderr, "rendering the song...");
    auto t0 = std::chrono::steady_clock::now();
    genMus();
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    fprintf(stderr, " %.1f s\n", took);

    if (wav != nullptr) {
        if (!WriteWav(wav, MusBuf, MIXLEN, 2, 44100)) {
            fprintf(stderr, "quarvel-synth: cannot write %s\n", wav);
            return 1;
        }
        return 0;
    }

    const bool terminal = ConsoleIsTerminal();
    ConsoleOpen();
    PrintHeader();
    if (seek > 0) setpos(seek);
    else startmus();
    int lastSecond = -1;
    while (!ConsoleInterrupted()) {
        int key = ConsoleKey();
        if (key == 'q' || key == 'Q' || key == 27) break;
        float ticks = getpos();
        if (key == 'L' || key == 'R') {
            float now = (float)NewMpos + (float)WaveTime.u.cb / 176400.0f;
            float to = now + (key == 'R' ? 10.0f : -10.0f);
            setpos(to > 0 ? to : 0);
            continue;
        }
        if (Ended()) break;
        int second = (int)(ticks / tps);
        if (terminal || second != lastSecond) PrintStatus(ticks, terminal);
        lastSecond = second;
        std::this_thread::sleep_for(std::chrono::milliseconds(terminal ? 30 : 100));
    }
    if (terminal) printf("\n");
    stopmus();
    ConsoleClose();
    return 0;
}
