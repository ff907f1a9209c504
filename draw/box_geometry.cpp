#include "draw/box_geometry.h"

#include <math.h>

#include "gfx/cube_data.h"

void BuildBoxVertices(MeshVertex vertices[24], float sx, float sy, float sz) {
    for (int i = 0; i < 24; ++i) {
        vertices[i] = cubeVertexData[i];
        vertices[i].x *= sx * 0.5f;
        vertices[i].y *= sy * 0.5f;
        vertices[i].z *= sz * 0.5f;
    }
}

void BuildSagStripVertices(MeshVertex vertices[kSagStripVertices], float sx, float sy, float sz, float amplitude) {
    // About pi / 50: the fifty boxes together span the angles 0 to pi.
    const float step = 0.06283184f;
    for (int box = 0; box < kSagStripBoxes; ++box) {
        for (int j = 0; j < 24; ++j) {
            MeshVertex vertex = cubeVertexData[j];
            const float angle = vertex.x == -1.0f ? (float)box * step : (float)(box + 1) * step;
            const float sag = sinf(angle) * amplitude;
            vertex.x = ((float)(2 * box) + vertex.x) * sx * 0.5f;
            vertex.y = (vertex.y - sag) * sy * 0.5f;
            vertex.z = vertex.z * sz * 0.5f;
            vertices[box * 24 + j] = vertex;
        }
    }
}

void BuildPlaneVertices(MeshVertex vertices[4], float w, float h) {
    const float halfW = w * 0.5f;
    const float halfH = h * 0.5f;
    vertices[0] = {-halfW, 0.0f, halfH, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f};
    vertices[1] = {-halfW, 0.0f, -halfH, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f};
    vertices[2] = {halfW, 0.0f, halfH, 1.0f, 1.0f, 0.0f, 1.0f, 0.0f};
    vertices[3] = {halfW, 0.0f, -halfH, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f};
}
