#include "draw/text.h"

#include "draw/sprites.h"
#include "gfx/graphics_context.h"
#include "gfx/shader_program.h"

void DrawString(float x, float y, const char* text) {
    const float blendFactor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    graphics.context->OMSetBlendState(graphics.blendAlpha, blendFactor, 0xFFFFFFFF);
    ShaderProgram* program = graphics.textProgram;
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    UpdateConstants(program->constants, white);

    const FontSlot& font = graphics.fonts[3];
    const float texel = 0.00048828125f;  // one pixel of the 2048 x 2048 atlas
    float pen = x;
    for (const unsigned char* c = (const unsigned char*)text; *c; ++c) {
        if (*c < 32 || *c > 127) continue;
        const BakedGlyph& glyph = font.glyphs[*c - 32];
        DrawSprite(program, font.view, (float)GlyphCorner(pen, glyph.xoff), (float)GlyphCorner(y, glyph.yoff),
                   (float)((int)glyph.x1 - (int)glyph.x0), (float)((int)glyph.y1 - (int)glyph.y0), glyph.x0 * texel,
                   glyph.y0 * texel, glyph.x1 * texel, glyph.y1 * texel);
        pen += glyph.xadvance;
    }

    graphics.context->OMSetBlendState(graphics.blendOpaque, blendFactor, 0xFFFFFFFF);
}
