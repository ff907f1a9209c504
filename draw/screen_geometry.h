// Quads of the 1280 x 720 virtual screen (origin top left, y down) in clip space.
#pragma once

#include "gfx/graphics_context.h"

inline float VirtualToClipX(float x) { return x * 0.0015625f - 1.0f; }
inline float VirtualToClipY(float y) { return 1.0f - y * 0.0027777778f; }

// Triangle-strip order, first triangle clockwise on screen: bottom-left, top-left,
// bottom-right, top-right. (u0, v0) lands on the top-left corner, (u1, v1) bottom-right.
void BuildSpriteQuad(ScreenVertex quad[4], float x, float y, float w, float h, float u0, float v0, float u1, float v1);

// A w x h quad centred on (x, y), turned counter-clockwise on screen by angle, with the
// whole texture: top-left, top-right, bottom-left, bottom-right.
void BuildRotatedSpriteQuad(ScreenVertex quad[4], float x, float y, float w, float h, float angle);

// The loading bar's white fill, in virtual units: 104 short of the 1176-unit inside at 100 %.
inline float LoadingBarFillWidth(float percent) { return percent * 11.76f - 104.0f; }
