#include "draw/constant_blocks.h"

namespace {

LightConstants Light(float ambient, const float diffuse[3], const float direction[3]) {
    LightConstants light = {};
    light.ambientColor[0] = light.ambientColor[1] = light.ambientColor[2] = ambient;
    for (int i = 0; i < 3; ++i) {
        light.diffuseColor[i] = diffuse[i];
        light.lightDirection[i] = direction[i];
    }
    for (int i = 0; i < 4; ++i) light.specularColor[i] = 1.0f;
    light.specularPower = 128.0f;
    return light;
}

}  // namespace

CubeConstants FillTransforms(const XMMATRIX& world, const XMMATRIX& view, const XMMATRIX& projection,
                             const float colour[4]) {
    CubeConstants block = {};
    XMStoreFloat4x4(&block.World, XMMatrixTranspose(world));
    XMStoreFloat4x4(&block.View, XMMatrixTranspose(view));
    XMStoreFloat4x4(&block.Projection, XMMatrixTranspose(projection));
    for (int i = 0; i < 4; ++i) block.vMeshColor[i] = colour[i];
    return block;
}

LightConstants MeshLight() {
    const float none[3] = {0.0f, 0.0f, 0.0f};
    XMFLOAT3 direction;
    XMStoreFloat3(&direction, XMVector3Normalize(XMVectorSet(0.0f, 0.0f, -1.0f, 0.0f)));
    const float towards[3] = {direction.x, direction.y, direction.z};
    return Light(0.0f, none, towards);
}

// Box and strip light is deliberately not normalised; the shaders normalise what they need.
LightConstants BoxLight() {
    const float diffuse[3] = {0.2f, 0.4f, 0.6f};
    const float direction[3] = {1.0f, 1.0f, 1.0f};
    return Light(0.1f, diffuse, direction);
}

LightConstants PlaneLight() {
    const float none[3] = {0.0f, 0.0f, 0.0f};
    const float direction[3] = {1.0f, 1.0f, 1.0f};
    return Light(0.1f, none, direction);
}
