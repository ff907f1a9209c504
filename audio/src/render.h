#pragma once

#include <cstdint>

namespace quarvel::audio {

// Mixes every playing stream of the Engine at `user` into `frameCount` stereo frames.
void RenderMix(void* user, int16_t* frames, int frameCount);
// Whether every playing stream has decoded what the next `frameCount` frames need.
bool StreamsReadyToRender(void* user, int frameCount);

}  // namespace quarvel::audio
