// The wave output the song plays through.
#pragma once

#include <windows.h>
#include <mmsystem.h>

extern HWAVEOUT wavehand;
extern WAVEFORMATEX WaveForm;
extern WAVEHDR WaveHdr;
extern MMTIME WaveTime;
