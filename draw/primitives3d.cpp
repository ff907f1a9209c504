#include <stdlib.h>
#include <string.h>

#include "draw/box_geometry.h"
#include "draw/camera.h"
#include "draw/constant_blocks.h"
#include "gfx/graphics_context.h"
#include "gfx/mesh.h"
#include "gfx/shader_program.h"

namespace {

void WriteConstants(const CubeConstants& transforms, const LightConstants& light) {
    UpdateConstants(graphics.transformConstants, &transforms);
    UpdateConstants(lightConstants, &light);
}

void BindConstants(bool pixelStage) {
    if (pixelStage) {
        graphics.context->PSSetConstantBuffers(0, 1, &graphics.transformConstants);
        graphics.context->PSSetConstantBuffers(3, 1, &lightConstants);
    } else {
        graphics.context->VSSetConstantBuffers(0, 1, &graphics.transformConstants);
        graphics.context->VSSetConstantBuffers(3, 1, &lightConstants);
    }
}

// False when the buffer cannot be mapped; the caller then does not draw someone else's
// vertices in place of its own.
bool WriteDynamic(ID3D11Buffer* buffer, const void* data, size_t size) {
    D3D11_MAPPED_SUBRESOURCE mapped;
    if (FAILED(graphics.context->Map(buffer, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped))) return false;
    memcpy(mapped.pData, data, size);
    graphics.context->Unmap(buffer, 0);
    return true;
}

// The common binding of boxes and strips: untextured (the fallback views are empty).
void BindBoxes(ShaderProgram* program, ID3D11Buffer* vertices, ID3D11Buffer* indices) {
    const UINT stride = sizeof(MeshVertex);
    const UINT offset = 0;
    graphics.context->IASetVertexBuffers(0, 1, &vertices, &stride, &offset);
    graphics.context->IASetInputLayout(program->inputLayout);
    graphics.context->IASetIndexBuffer(indices, DXGI_FORMAT_R16_UINT, 0);
    graphics.context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    graphics.context->VSSetShader(program->vertexShader, NULL, 0);
    BindConstants(false);
    graphics.context->PSSetShader(program->pixelShader, NULL, 0);
    graphics.context->PSSetShaderResources(0, 1, &graphics.fallbackTexture0);
    graphics.context->PSSetShaderResources(1, 1, &graphics.fallbackTexture1);
    BindConstants(true);
    graphics.context->PSSetSamplers(0, 1, &graphics.samplerWrap);
}

}  // namespace

void GraphicsContext::DrawMesh(Mesh* mesh, const XMMATRIX& world, const float colour[4]) {
    ShaderProgram* program = diffuseTextureProgram;
    CubeConstants transforms = FillTransforms(world, viewMatrix, projectionMatrix, colour);
    XMStoreFloat4x4(&transforms.WorldViewInverse, XMMatrixTranspose(XMMatrixInverse(NULL, viewMatrix)));
    WriteConstants(transforms, MeshLight());

    const UINT stride = sizeof(MeshVertex);
    const UINT offset = 0;
    context->IASetInputLayout(program->inputLayout);
    context->IASetVertexBuffers(0, 1, &mesh->vertexBuffer, &stride, &offset);
    context->IASetIndexBuffer(mesh->indexBuffer, DXGI_FORMAT_R32_UINT, 0);
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    context->RSSetState(cullBack);

    context->VSSetShader(program->vertexShader, NULL, 0);
    BindConstants(false);
    context->PSSetShader(program->pixelShader, NULL, 0);

    context->PSSetShaderResources(0, 1, mesh->texture0 ? &mesh->texture0 : &fallbackTexture0);
    // Without a second texture slot 1 keeps whatever it had.
    if (mesh->texture1) context->PSSetShaderResources(1, 1, &mesh->texture1);
    if (mesh->cullFrontFaces) context->RSSetState(cullFront);

    ID3D11SamplerState* samplers[8];
    for (int i = 0; i < 8; ++i) samplers[i] = samplerWrap;
    context->PSSetSamplers(0, 8, samplers);
    BindConstants(true);

    if (CanDraw(program)) context->DrawIndexed((UINT)mesh->indexCount, 0, 0);
    if (mesh->cullFrontFaces) context->RSSetState(cullBack);
}

void GraphicsContext::DrawBox(ShaderProgram* program, const XMMATRIX& world, float sx, float sy, float sz,
                              const float colour[4]) {
    if (!program) program = diffuseTextureProgram;
    MeshVertex vertices[24];
    BuildBoxVertices(vertices, sx, sy, sz);
    if (!WriteDynamic(cubeVerticesDynamic, vertices, sizeof(vertices))) return;
    WriteConstants(FillTransforms(world, viewMatrix, projectionMatrix, colour), BoxLight());
    BindBoxes(program, cubeVerticesDynamic, cubeIndicesCopy);
    if (CanDraw(program)) context->DrawIndexed(36, 0, 0);
}

void GraphicsContext::DrawSagStrip(ShaderProgram* program, const XMMATRIX& world, float sx, float sy, float sz,
                                   const float colour[4], float amplitude, bool rebuild) {
    if (!program) program = diffuseTextureProgram;
    // A rebuild that cannot be written leaves the last geometry, as a call without rebuild does.
    if (rebuild) {
        MeshVertex* vertices = (MeshVertex*)malloc(kSagStripVertices * sizeof(MeshVertex));
        if (vertices) {
            BuildSagStripVertices(vertices, sx, sy, sz, amplitude);
            WriteDynamic(boxBatchVertices, vertices, kSagStripVertices * sizeof(MeshVertex));
            free(vertices);
        }
    }
    WriteConstants(FillTransforms(world, viewMatrix, projectionMatrix, colour), BoxLight());
    BindBoxes(program, boxBatchVertices, boxBatchIndices);
    if (CanDraw(program)) context->DrawIndexed(kSagStripBoxes * 36, 0, 0);
}

// The plane goes through the one-box buffer as full mesh vertices with an up normal: a
// 20-byte vertex under the 3D layout would leave the normal reading the next vertex, and
// the last one past the end of the buffer.
void GraphicsContext::DrawPlane(ShaderProgram* program, ID3D11ShaderResourceView* textureView,
                                const XMMATRIX& world, float w, float h, const float colour[4]) {
    if (!program) program = textureProgram;
    WriteConstants(FillTransforms(world, viewMatrix, projectionMatrix, colour), PlaneLight());
    MeshVertex vertices[4];
    BuildPlaneVertices(vertices, w, h);
    if (!WriteDynamic(cubeVerticesDynamic, vertices, sizeof(vertices))) return;

    const UINT stride = sizeof(MeshVertex);
    const UINT offset = 0;
    context->IASetVertexBuffers(0, 1, &cubeVerticesDynamic, &stride, &offset);
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP);
    context->IASetInputLayout(program->inputLayout);
    context->VSSetShader(program->vertexShader, NULL, 0);
    BindConstants(false);
    context->PSSetShader(program->pixelShader, NULL, 0);
    context->PSSetSamplers(0, 1, &samplerClamp);
    context->PSSetShaderResources(0, 1, &textureView);
    BindConstants(true);

    // Seen from both sides.
    context->RSSetState(cullNone);
    if (CanDraw(program)) context->Draw(4, 0);
    context->RSSetState(cullBack);
}
