// A 16-bit PCM WAV file.
#pragma once

#include <stdint.h>

// Writes `frames` interleaved frames of `channels` samples at `rate` Hz; false on any
// failure, with the partial file removed.
bool WriteWav(const char* path, const int16_t* pcm, uint32_t frames, int channels, int rate);
