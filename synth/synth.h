// The synthesizer's routines, constants and buffers. genMus renders the song once into
// MusBuf; the play routines hand MusBuf to the wave output and report where it is.
#pragma once

#include <stdint.h>

// Constants of the sound and the song.
extern const float wavestep;   // one wave-table step, 2^-15
extern const float basefreq;   // table steps per internal sample, one semitone below MIDI 0
extern const float halfnote;   // 2^(1/12) in single precision
extern const int32_t tempo;    // internal samples per tick; also output bytes per tick
extern const float velfac;     // 1/127
extern const int32_t finalamp; // output scale; also the envelope's duration unit
extern const float delaystr;   // echo feedback
extern const int32_t offset;   // bytes getpos reports ahead of the sound
extern const float tps;        // ticks per second
extern const int32_t muslen;   // song length in ticks
extern const int32_t numtr;    // number of tracks

extern const float paramw[20];        // parameter scales, p19 first
extern const signed char resamp[24];  // reduction filter taps (sum 850)

// Song data.
extern const signed char instdata[];
extern const signed char notepos[];
extern const unsigned char notesamp[];
extern const int instdatalen, noteposlen, notesamplen;

// Sizes.
enum {
    WAVELEN = 65536,
    LAYERMAX = 3866624,   // InstrBuf and the enveloped note
    RENPAD = 256,         // zeros in front of the enveloped note
    STOMAX = 1245184,     // one instrument's samples at 44100 Hz
    MAXSAMP = 16,
    ECHODLY = 13230,      // echo delay and history, 0.3 s
    MIXLEN = 9043968,     // frames of the song at 44100 Hz
    ROWLEN = 4096,        // ticks in a timing row
    NUMROWS = 26,
    MUSBYTES = MIXLEN * 4
};

extern float wforms[6][WAVELEN];
extern float InstrBuf[LAYERMAX];
extern float InstrRen[RENPAD + LAYERMAX];
extern float InstrSto[STOMAX];
extern float* InstrPoi[MAXSAMP + 1];
extern float MixBuf[ECHODLY + MIXLEN];
extern int32_t musdat[NUMROWS][ROWLEN];
extern int32_t* timing;
extern int16_t MusBuf[MIXLEN * 2];
extern int32_t NewMpos;

// Renders the whole song into MusBuf and fills musdat. Takes long: run it once, first.
void genMus();

void startmus();
void stopmus();
float getpos();
void setpos(float seconds);
float insttrig(int32_t track, float ticks);
