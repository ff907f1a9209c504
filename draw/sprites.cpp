#include "draw/sprites.h"

#include <string.h>

#include "draw/screen_geometry.h"
#include "gfx/shader_program.h"

namespace {

// False when the buffer cannot be mapped: it still holds some earlier quad, which must not
// be drawn in this one's place.
bool WriteSpriteQuad(const ScreenVertex quad[4]) {
    D3D11_MAPPED_SUBRESOURCE mapped;
    if (FAILED(graphics.context->Map(graphics.spriteQuad, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped))) return false;
    memcpy(mapped.pData, quad, 4 * sizeof(ScreenVertex));
    graphics.context->Unmap(graphics.spriteQuad, 0);
    return true;
}

void BindSpriteQuad(ShaderProgram* program) {
    const UINT stride = sizeof(ScreenVertex);
    const UINT offset = 0;
    graphics.context->IASetVertexBuffers(0, 1, &graphics.spriteQuad, &stride, &offset);
    graphics.context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP);
    graphics.context->IASetInputLayout(program->inputLayout);
}

// Binding, then the draw of the four vertices, shared by the textured quads.
void DrawTexturedQuad(ShaderProgram* program, ID3D11ShaderResourceView* textureView) {
    BindSpriteQuad(program);
    graphics.context->PSSetSamplers(0, 1, &graphics.samplerClamp);
    graphics.context->VSSetShader(program->vertexShader, NULL, 0);
    graphics.context->PSSetShader(program->pixelShader, NULL, 0);
    graphics.context->PSSetConstantBuffers(0, 1, &program->constants);
    graphics.context->PSSetShaderResources(0, 1, &textureView);
    if (CanDraw(program)) graphics.context->Draw(4, 0);
}

}  // namespace

void DrawSprite(ShaderProgram* program, ID3D11ShaderResourceView* textureView, float x, float y, float w, float h,
                float u0, float v0, float u1, float v1) {
    graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
    ScreenVertex quad[4];
    BuildSpriteQuad(quad, x, y, w, h, u0, v0, u1, v1);
    if (WriteSpriteQuad(quad)) DrawTexturedQuad(program, textureView);
    graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
}

void DrawRotatedSprite(ID3D11ShaderResourceView* textureView, float x, float y, float w, float h, float angle) {
    ShaderProgram* program = graphics.texture2DProgram;
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    UpdateConstants(program->constants, white);
    graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
    ScreenVertex quad[4];
    BuildRotatedSpriteQuad(quad, x, y, w, h, angle);
    if (WriteSpriteQuad(quad)) DrawTexturedQuad(program, textureView);
    graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
}

void DrawRect(float x, float y, float w, float h, const float colour[4]) {
    ShaderProgram* program = graphics.colorProgram;
    graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
    ScreenVertex quad[4];
    BuildSpriteQuad(quad, x, y, w, h, 0.0f, 0.0f, 0.0f, 0.0f);
    const bool written = WriteSpriteQuad(quad);
    UpdateConstants(program->constants, colour);
    if (written) {
        BindSpriteQuad(program);
        graphics.context->VSSetShader(program->vertexShader, NULL, 0);
        graphics.context->PSSetShader(program->pixelShader, NULL, 0);
        graphics.context->PSSetConstantBuffers(0, 1, &program->constants);
        if (CanDraw(program)) graphics.context->Draw(4, 0);
    }
    graphics.context->OMSetDepthStencilState(graphics.depthOn, 1);
}

void DrawLoadingBar(float percent) {
    DrawLoadingBarImage(percent);
    graphics.swapChain->Present(1, 0);
}

void DrawLoadingBarImage(float percent) {
    const float clear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    graphics.context->ClearRenderTargetView(graphics.backBufferView, clear);
    graphics.context->ClearDepthStencilView(graphics.depthView, D3D11_CLEAR_DEPTH, 1.0f, 0);
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    DrawRect(50.0f, 235.0f, 1180.0f, 50.0f, white);
    DrawRect(52.0f, 237.0f, 1176.0f, 46.0f, black);
    DrawRect(52.0f, 237.0f, LoadingBarFillWidth(percent), 46.0f, white);
}
