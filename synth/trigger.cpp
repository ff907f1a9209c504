// insttrig: how long ago a track's latest note started, for pictures that follow the music.
#include "synth/synth.h"

float insttrig(int32_t track, float ticks)
{
    // Positions past the rows' end (or before the start) read the nearest entry rather than
    // memory beyond the table; a track that does not exist has no notes.
    if (track < 0 || track >= numtr) return ticks;
    int32_t t = (int32_t)ticks;
    if (t < 0) t = 0;
    if (t >= ROWLEN) t = ROWLEN - 1;
    return ticks - (float)musdat[track][t];
}
