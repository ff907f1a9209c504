// A real window and graphics context for tests that draw (the Direct3D stand-in, or Windows'
// own under tests/windows/gpu_suites.cmake, on a hidden window of a chosen client size), and
// read-back of pixels through staging textures.
#pragma once

#include <d3d11.h>

#include <vector>

#include "gfx/graphics_context.h"

namespace quarvel::test {

// Opens a window with this client area and runs InitGraphics (and PostChain::Create when
// asked). False, with the reason printed, when the device cannot be made.
bool OpenGraphics(int width, int height, bool withChain);
// Releases the chain, the graphics and the window; the globals are zero again.
void CloseGraphics();
// Whether the Direct3D under test is Wine's, where a case meets one of its known departures
// from Direct3D.
bool UnderWine();

struct Pixels {
    int width = 0, height = 0;
    std::vector<float> rgba;  // 8-bit formats scaled to 0..1
    const float* At(int x, int y) const { return &rgba[4 * ((size_t)y * width + x)]; }
};

// Reads an RGBA8 or RGBA32F texture, or the texture behind a render-target view.
Pixels ReadTexture(ID3D11Texture2D* texture);
Pixels ReadTarget(ID3D11RenderTargetView* view);

// An RGBA32F texture with these pixels (rows top first) and its view.
ID3D11ShaderResourceView* MakeTexture(int width, int height, const std::vector<float>& rgba);
// A render target (RGBA8, or RGBA32F where NaN and values outside 0..1 must survive), and
// binding one over its whole size with the depth view, both cleared.
RenderTarget MakeTarget(int width, int height, DXGI_FORMAT format = DXGI_FORMAT_R8G8B8A8_UNORM);
void ReleaseTarget(RenderTarget& target);
void BindAndClear(const RenderTarget& target, const float colour[4]);

// The state objects bound at the moment.
ID3D11DepthStencilState* BoundDepthState();
ID3D11BlendState* BoundBlendState();
ID3D11RasterizerState* BoundRasterizerState();

}  // namespace quarvel::test
