// Renders the synthesizer's song and encodes its opening as the presentation's music.
//
//   quarvel_music_render OUT.mp3
#include <stdio.h>

#include "mp3_writer.h"
#include "synth/synth.h"

namespace {

const int kSeconds = 31;
const int kRate = 44100;
const int kKbps = 192;

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: quarvel_music_render OUT.mp3\n");
        return 2;
    }
    genMus();
    if (!quarvel::tools::WriteMp3(argv[1], MusBuf, (size_t)kSeconds * kRate, 2, kRate, kKbps)) {
        fprintf(stderr, "quarvel_music_render: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
