// One frame of the presentation: the road scene and the sea view, each kept in a layer,
// cross-faded by music time, under the opening and closing fades.
#pragma once

#include <stdint.h>

// Switches that only tests and benchmarks turn; the presentation runs with these defaults.
struct ComposeOptions {
    // While on, the sea is not drawn while the merge weight hides it completely (up to
    // 17 000 ms). Frames come out the same either way; tests turn it off to prove that.
    bool skipInvisibleLayers = true;
    // Off only in tests, which compare layers against the frame before it is faded.
    bool drawFades = true;
};
extern ComposeOptions composeOptions;

// Whether the sea shows at all at a music time.
bool SeaViewVisible(uint32_t musicMs);

// Called by the main loop between PostChain::Begin and End, with target 0 bound and cleared.
void ComposeFrame();
