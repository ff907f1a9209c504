// Playing MusBuf through the wave output, and where playback is in song ticks. The wave
// calls' results are not looked at: without a device the song is simply not heard.
#include "synth/synth.h"
#include "synth/wave.h"

HWAVEOUT wavehand;
WAVEFORMATEX WaveForm = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
WAVEHDR WaveHdr = {(LPSTR)MusBuf, MUSBYTES, 0, 0, 0, 0, 0, 0};
MMTIME WaveTime = {TIME_BYTES, {0}};
int32_t NewMpos = 0;

static const int32_t bytesps = 176400;
static const int32_t wholesecs = MUSBYTES / bytesps;  // the last whole second that can start

void startmus()
{
    waveOutOpen(&wavehand, WAVE_MAPPER, &WaveForm, 0, 0, CALLBACK_NULL);
    waveOutPrepareHeader(wavehand, &WaveHdr, sizeof WaveHdr);
    waveOutWrite(wavehand, &WaveHdr, sizeof WaveHdr);
}

void stopmus()
{
    waveOutReset(wavehand);
    waveOutUnprepareHeader(wavehand, &WaveHdr, sizeof WaveHdr);
    // Every setpos opens the device again; closing it here keeps one device open at a time.
    waveOutClose(wavehand);
    wavehand = 0;
    // A reset device reports position 0, and getpos keeps answering from it.
    WaveTime.u.cb = 0;
}

float getpos()
{
    if (wavehand) waveOutGetPosition(wavehand, &WaveTime, sizeof WaveTime);
    int64_t bytes = (int64_t)WaveTime.u.cb + (int64_t)NewMpos * bytesps;
    return (float)((double)(bytes + offset) / tempo);
}

void setpos(float seconds)
{
    stopmus();
    // Whole seconds inside the song: a start before it or past its end would hand the
    // device memory outside MusBuf.
    int32_t s = seconds > 0 ? (seconds < (float)wholesecs ? (int32_t)seconds : wholesecs) : 0;
    NewMpos = s;
    WaveHdr.lpData = (LPSTR)MusBuf + s * bytesps;
    WaveHdr.dwBufferLength = MUSBYTES - s * bytesps;
    startmus();
}
