// The 16:9 area of the back buffer that the 1280 x 720 virtual screen is drawn into.
#pragma once

#include <d3d11.h>

// Centred in a width x height back buffer, with bars left and right or above and below.
D3D11_VIEWPORT LetterboxViewport(INT32 width, INT32 height);
