#include "gfx/viewport.h"

D3D11_VIEWPORT LetterboxViewport(INT32 width, INT32 height) {
    const float w = (float)width;
    const float h = (float)height;
    const float r = (w / h) / 1.7777778f;
    D3D11_VIEWPORT viewport;
    if (r > 1.0f) {
        viewport.Width = w / r;
        viewport.Height = h;
    } else {
        viewport.Width = w;
        viewport.Height = h * r;
    }
    viewport.TopLeftX = (w - viewport.Width) * 0.5f;
    viewport.TopLeftY = (h - viewport.Height) * 0.5f;
    viewport.MinDepth = 0.0f;
    viewport.MaxDepth = 1.0f;
    return viewport;
}
