// The two constant blocks shared with the 3D programs, byte for byte as Shaders3D.fx
// declares them. Matrices go in transposed (see FillTransforms).
#pragma once

#include "draw/xmath.h"

// cbCube, held in graphics.transformConstants (b0).
struct CubeConstants {
    XMFLOAT4X4 World;
    XMFLOAT4X4 View;
    XMFLOAT4X4 Projection;
    XMFLOAT4X4 WorldViewInverse;
    float vMeshColor[4];
    float CameraPosition[3];
    float padding;
};
static_assert(sizeof(CubeConstants) == 288, "cbCube is 288 bytes");

// cbLight, held in lightConstants (b3).
struct LightConstants {
    float ambientColor[4];
    float diffuseColor[4];
    float specularColor[4];
    float lightDirection[3];
    float res;
    float specularPower;
    float res2[3];
    float unused[4];
};
static_assert(sizeof(LightConstants) == 96, "cbLight is 96 bytes");

// World, View and Projection transposed for the shaders' column-major packing, and the
// colour. Everything else is zero.
CubeConstants FillTransforms(const XMMATRIX& world, const XMMATRIX& view, const XMMATRIX& projection,
                             const float colour[4]);

// The light each primitive draws with.
LightConstants MeshLight();
LightConstants BoxLight();
LightConstants PlaneLight();
