// Renders the synthesizer's song, masters its opening and encodes it as the presentation's
// music. The encoder takes some loudness off (its low-pass removes what the loudness weighting
// counts) and adds overshoot to the limited peaks, so the file is decoded and measured, and
// mastered again with the loudness target and the limiter's ceiling moved by what it missed.
// Prints the loudness of the song and of the file.
//
//   quarvel_music_render OUT.mp3
#include <math.h>
#include <stdio.h>

#include <vector>

#include "master.h"
#include "mp3_reader.h"
#include "mp3_writer.h"
#include "synth/synth.h"

namespace {

const int kSeconds = 31;
const int kRate = 44100;
const int kKbps = 192;
const double kTolerance = 0.05;  // LU
const int kAttempts = 6;

void Print(const char* what, const quarvel::music::Loudness& loudness) {
    printf("quarvel_music_render: %s: %.2f LUFS, range %.2f LU, true peak %.2f dBTP, sample peak %.2f dBFS\n",
           what, loudness.integratedLufs, loudness.rangeLu, loudness.truePeakDb, loudness.samplePeakDb);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: quarvel_music_render OUT.mp3\n");
        return 2;
    }
    genMus();
    const size_t frames = (size_t)kSeconds * kRate;
    const quarvel::music::MasterSettings goal;
    quarvel::music::MasterSettings settings = goal;
    quarvel::music::MasterReport report;
    quarvel::music::Loudness written;
    double ceiling = goal.ceilingDbtp;
    for (int attempt = 0; attempt < kAttempts; attempt++) {
        std::vector<int16_t> mastered;
        ceiling = settings.ceilingDbtp;
        if (!quarvel::music::Master(MusBuf, frames, 2, kRate, settings, &mastered, &report)) {
            fprintf(stderr, "quarvel_music_render: cannot measure the song's loudness\n");
            return 1;
        }
        if (!quarvel::music::WriteMp3(argv[1], mastered.data(), frames, 2, kRate, kKbps)) {
            fprintf(stderr, "quarvel_music_render: cannot write %s\n", argv[1]);
            return 1;
        }
        std::vector<int16_t> decoded = quarvel::music::ReadMp3(argv[1]);
        if (!quarvel::music::MeasureLoudness(decoded.data(), decoded.size() / 2, 2, kRate, &written)) {
            fprintf(stderr, "quarvel_music_render: cannot read back %s\n", argv[1]);
            return 1;
        }
        double miss = goal.targetLufs - written.integratedLufs;
        double over = written.truePeakDb - goal.ceilingDbtp;
        if (fabs(miss) < kTolerance && over <= 0) break;
        settings.targetLufs += miss;
        if (over > 0) settings.ceilingDbtp -= over + kTolerance;
    }
    Print("song", report.before);
    Print("mastered", report.after);
    Print("file", written);
    printf("quarvel_music_render: gain %+.2f dB, limiter ceiling %.2f dBTP, down to %.2f dB\n", report.gainDb,
           ceiling, -report.maxReductionDb);
    if (fabs(goal.targetLufs - written.integratedLufs) >= kTolerance || written.truePeakDb > goal.ceilingDbtp)
        printf("quarvel_music_render: warning: the file misses %.1f LUFS or %.1f dBTP\n", goal.targetLufs, goal.ceilingDbtp);
    return 0;
}
