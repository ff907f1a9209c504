// CPU-side geometry of the box, the sagging strip and the plane.
#pragma once

#include "gfx/graphics_context.h"

constexpr int kSagStripBoxes = 50;
constexpr int kSagStripVertices = kSagStripBoxes * 24;

// The unit cube scaled to full extents sx, sy, sz; texture corners and normals unchanged.
void BuildBoxVertices(MeshVertex vertices[24], float sx, float sy, float sz);

// Fifty boxes of length sx side by side along x, box i centred on x = i * sx, their centre
// line following half a sine wave lowered by amplitude * sy / 2 in the middle. Each box's
// left face takes the curve's height at its own start, the rest at its end, so neighbours
// meet without a step. Normals are not tilted with the slope.
void BuildSagStripVertices(MeshVertex vertices[kSagStripVertices], float sx, float sy, float sz, float amplitude);

// A w x h rectangle in the XZ plane, facing +y, with v = 0 along z = -h/2 and u = 0 along
// x = -w/2. Triangle-strip order.
void BuildPlaneVertices(MeshVertex vertices[4], float w, float h);
