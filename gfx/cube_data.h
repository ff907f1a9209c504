// The unit cube (corners at +-1) that boxes and box strips are built from: four vertices per
// face so each face has its own normal and texture corners.
#pragma once

#include "gfx/graphics_context.h"

extern const MeshVertex cubeVertexData[24];
extern const WORD cubeIndexData[36];

// Boxes the batch buffers have room for.
constexpr UINT kBoxBatchBoxes = 100;

// The batch's index list: box b's copy of the cube indices, offset by its 24 vertices.
void FillBoxBatchIndices(WORD indices[kBoxBatchBoxes * 36]);
