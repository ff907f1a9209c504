#include "scene/compose_frame.h"

#include "app/main_loop.h"
#include "gfx/graphics_context.h"
#include "gfx/shader_program.h"
#include "post/post_chain.h"
#include "scene/road_motion.h"
#include "scene/road_scene.h"
#include "scene/sea_view.h"

ComposeOptions composeOptions;

// Merge parameter block, as MergePS reads it.
struct MergeBlock {
    float fMerge;
    float fTime;
    float res[2];
};
static_assert(sizeof(MergeBlock) == 16, "the merge block is 16 bytes");

// The merge is lerp(road, sea, fMerge) of two 8-bit layers. At weight 0 that is
// road + 0 * (sea - road): the road layer bit for bit, whatever the sea layer holds, so the
// sea need not be drawn until 17 000 ms. At weight 1 it is road + (sea - road), which
// differs from the sea in the last bit for some pairs of values, so the road scene is
// drawn to the end.
bool SeaViewVisible(uint32_t musicMs) { return MergeWeight(musicMs) > 0.0f; }

static void SetDepth(ID3D11DepthStencilState* state) { graphics.context->OMSetDepthStencilState(state, 1); }

void ComposeFrame() {
    DrawRoadScene();
    postChain.ResolveTo(graphics.layerA);

    if (!composeOptions.skipInvisibleLayers || SeaViewVisible(musicTimeMs)) {
        SetDepth(graphics.depthOff);
        DrawSeaView();
        SetDepth(graphics.depthOn);
        postChain.ResolveTo(graphics.layerB);
    }

    SetDepth(graphics.depthOff);
    ID3D11ShaderResourceView* layers[2] = {graphics.layerA.srv, graphics.layerB.srv};
    graphics.context->PSSetShaderResources(0, 2, layers);
    MergeBlock merge = {};
    merge.fMerge = MergeWeight(musicTimeMs);
    merge.fTime = musicTimeSec;
    UpdateConstants(graphics.mergeProgram->constants, &merge);
    graphics.DrawFullscreenQuad(graphics.mergeProgram);
    SetDepth(graphics.depthOn);

    if (!composeOptions.drawFades) return;
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const float clear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    DrawFade(0, 1000, black, clear);
    DrawFade(29000, 30000, clear, black);
    DrawFade(30000, 31000, black, black);
    // A frame late enough to fall past the last fade (the loop's final frame comes after a
    // slow one) stays black as well: the running order is black from 30 s on.
    DrawFade(31000, 0xFFFFFFFFu, black, black);
}
