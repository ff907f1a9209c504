// The one place a finished frame leaves the device: Present hands its back buffer here,
// which shows it in the window. A recording mode (reading the frame back, writing images or
// feeding an encoder on a virtual clock) belongs here too.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>

#include "gl.h"

namespace quarvel::d3d11 {

class GlState;

// Copies the back buffer (rows stored top first) upright into the window's own
// framebuffer, stretched to the drawable size, and swaps. Leaves GL's draw framebuffer
// binding recorded in `state`.
void PresentFrame(SDL_Window* window, GlState& state, GLuint backBufferFramebuffer, uint32_t width, uint32_t height);

}  // namespace quarvel::d3d11
