// The output with nothing to play to: a thread that renders at the sample rate on the steady
// clock, for BASS_Init's "no sound" device and for machines without a wave device. The
// Linux build has the platform's null output; this one needs nothing but the C++ library.
#pragma once

#include "output_device.h"

namespace quarvel::audio {

std::unique_ptr<OutputDevice> StartNullOutputDevice(int rate, RenderFunction render, void* user);

}  // namespace quarvel::audio
