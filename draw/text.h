// One line of bitmap text from the glyph table and atlas of font slot 3: one DrawSprite per
// character, white, alpha-blended. One atlas pixel is one virtual-screen unit.
#pragma once

#include <math.h>

// (x, y) is the pen at the baseline. Codes outside 32..127 have no glyph and are skipped.
// Leaves blendOpaque and depthOn set.
void DrawString(float x, float y, const char* text);

// A glyph quad's corner: the pen plus the glyph's offset, rounded to the nearest integer
// with halves going up. The pen itself is never rounded.
inline int GlyphCorner(float pen, float offset) { return (int)floor((double)(pen + offset) + 0.5); }
