// The second half of the presentation: the ray-marched sea under the sunset sky, one
// full-screen pass of the sea program.
#pragma once

// Draws the sea at musicTimeMs over the whole bound target, with whatever depth and blend
// state is set (the frame composition sets depth off and leaves blending opaque).
void DrawSeaView();
