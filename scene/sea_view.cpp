#include "scene/sea_view.h"

#include "app/main_loop.h"
#include "app/scene_resources.h"
#include "gfx/graphics_context.h"
#include "gfx/shader_program.h"

// The sea program's parameter block, as FractalCloudPS reads it.
struct SeaBlock {
    float fTime;
    float res[3];
};
static_assert(sizeof(SeaBlock) == 16, "the sea block is 16 bytes");

void DrawSeaView() {
    SeaBlock block = {};
    block.fTime = (float)musicTimeMs * 0.001f;
    UpdateConstants(seaProgram->constants, &block);
    graphics.context->PSSetShaderResources(0, 1, &skyTexture);
    graphics.DrawFullscreenQuad(seaProgram);
}
