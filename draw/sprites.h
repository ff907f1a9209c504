// Flat drawing in the 1280 x 720 virtual screen: one quad per call through spriteQuad. The
// routines set no viewport, target, blend or rasterizer state, and leave depthOn set.
#pragma once

#include "gfx/graphics_context.h"

struct ShaderProgram;

// The caller has written the program's constants (vColor) beforehand.
void DrawSprite(ShaderProgram* program, ID3D11ShaderResourceView* textureView, float x, float y, float w, float h,
                float u0, float v0, float u1, float v1);
// (x, y) is the centre; positive angles turn counter-clockwise. Drawn white with
// texture2DProgram.
void DrawRotatedSprite(ID3D11ShaderResourceView* textureView, float x, float y, float w, float h, float angle);
// One colour, with colorProgram.
void DrawRect(float x, float y, float w, float h, const float colour[4]);
// A whole start-up frame: clear, white frame, black inside, fill, present.
void DrawLoadingBar(float percent);
// The same frame into the back buffer, without the present.
void DrawLoadingBarImage(float percent);
