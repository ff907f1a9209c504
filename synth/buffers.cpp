// The synthesizer's static buffers, about 110 MB; nothing is allocated while it runs.
#include "synth/synth.h"

float InstrBuf[LAYERMAX];
float InstrRen[RENPAD + LAYERMAX];
float InstrSto[STOMAX];
float* InstrPoi[MAXSAMP + 1];
float MixBuf[ECHODLY + MIXLEN];
int32_t musdat[NUMROWS][ROWLEN];
int32_t* timing = musdat[0];
int16_t MusBuf[MIXLEN * 2];
