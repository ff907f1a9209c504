// Once a frame: the music's level and spectrum, reduced to 32 logarithmically spaced bands
// that drive the VHS pass; and the overlay that shows them while showOverlay is on.
#pragma once

constexpr int kFftBins = 1024;
constexpr int kSpectrumBands = 32;

extern float musicLevel;               // RMS of the last 50 ms, both channels mixed, 0..1
extern float fftBins[kFftBins];        // magnitudes of a 2048-sample FFT, bin k at index k
extern float spectrumBands[kSpectrumBands];  // -3/127 for silence up to 128/127

// Reads the level and the spectrum of musicStream and reduces the spectrum into
// spectrumBands. A failed spectrum query keeps the previous frame's bins.
void AnalyseAudio();
// The music time and level as text and the bands as a bar graph along the bottom of the
// virtual screen, into whatever target is bound.
void DrawAudioOverlay();

// The band reduction on its own. Band i ends at bin 2^(10 i / 31) and starts after the end
// of band i - 1 (at least one bin each; bin 0, the constant part, is never read, nor
// anything past bin 1023); its value is the loudest bin's square root on a 0..127 scale.
void ReduceSpectrum(const float bins[kFftBins], float bands[kSpectrumBands]);
