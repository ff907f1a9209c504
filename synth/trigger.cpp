// insttrig: how long ago a track's latest note started, for pictures that follow the music.
#include "synth/synth.h"

float insttrig(int32_t track, float ticks)
{
    // Positions past the rows' end (or before the start) read the nearest entry rather than
    // memory beyond the table; a track that does not exist has no notes.
    if (track < 0 || track >= numtr) return ticks;
    // Clamped as a float: converting NaN or a value beyond the integer range is undefined.
    int32_t t = 0;
    if (ticks >= (float)(ROWLEN - 1))
        t = ROWLEN - 1;
    else if (ticks > 0.0f)
        t = (int32_t)ticks;
    return ticks - (float)musdat[track][t];
}
