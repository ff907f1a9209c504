// The presentation's frames drawn in-process: a graphics context with the chain, the
// sea program and the scene's pictures and mesh, and one frame at a chosen music time
// exactly as the main loop draws it (without the present).
#pragma once

#include <stdint.h>

#include "graphics_fixture.h"

namespace quarvel::test {

// OpenGraphics with the chain, then what start-up loads for the scene.
bool OpenScene(int width, int height);
void CloseScene();
// Binds a target over its whole size, without depth.
void BindWholeTarget(const RenderTarget& target, int width, int height);
// Releases what LoadSceneResources made (the program keeps it to its end).
void ReleaseSceneResources();

// Sets the music clock to `ms` and draws one frame into the back buffer.
void DrawFrameAt(uint32_t ms);
// The finished frame (the back buffer, letterbox bars included).
Pixels ReadFrame();
// The chain's target 0, where ComposeFrame leaves the frame before End copies it out.
Pixels ReadComposedImage();

}  // namespace quarvel::test
