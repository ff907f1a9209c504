// What a Direct3D 11 implementation hands a pixel shader as SV_Position: one triangle at clip
// w = 4 and depth 0.5 covers a 2 x 1 float target, whose pixels get SV_Position itself. Direct3D
// gives the pixel centre, the depth and the clip w: (0.5, 0.5, 0.5, 4) in the first pixel.
// Built for Windows and run under Wine by tests/windows/wine-checks.sh; prints the four values
// and exits 0 when they are Direct3D's.
#include <d3d11.h>
#include <d3dcompiler.h>
#include <stdio.h>
#include <string.h>

static const char kSource[] =
    "float4 VS(uint id : SV_VertexID) : SV_Position {\n"
    "    float2 p = float2(id == 2 ? 3.0 : -1.0, id == 1 ? 3.0 : -1.0);\n"
    "    return float4(p * 4.0, 2.0, 4.0);\n"
    "}\n"
    "float4 PS(float4 position : SV_Position) : SV_Target { return position; }\n";

int main() {
    ID3D11Device* device = NULL;
    ID3D11DeviceContext* context = NULL;
    if (FAILED(D3D11CreateDevice(NULL, D3D_DRIVER_TYPE_HARDWARE, NULL, 0, NULL, 0, D3D11_SDK_VERSION, &device, NULL,
                                 &context))) {
        fprintf(stderr, "no device\n");
        return 2;
    }
    ID3DBlob *vsCode = NULL, *psCode = NULL;
    if (FAILED(D3DCompile(kSource, strlen(kSource), "probe", NULL, NULL, "VS", "vs_4_0", 0, 0, &vsCode, NULL)) ||
        FAILED(D3DCompile(kSource, strlen(kSource), "probe", NULL, NULL, "PS", "ps_4_0", 0, 0, &psCode, NULL))) {
        fprintf(stderr, "compile failed\n");
        return 2;
    }
    ID3D11VertexShader* vs = NULL;
    ID3D11PixelShader* ps = NULL;
    device->CreateVertexShader(vsCode->GetBufferPointer(), vsCode->GetBufferSize(), NULL, &vs);
    device->CreatePixelShader(psCode->GetBufferPointer(), psCode->GetBufferSize(), NULL, &ps);

    D3D11_TEXTURE2D_DESC desc = {};
    desc.Width = 2;
    desc.Height = 1;
    desc.MipLevels = desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_R32G32B32A32_FLOAT;
    desc.SampleDesc.Count = 1;
    desc.BindFlags = D3D11_BIND_RENDER_TARGET;
    ID3D11Texture2D *target = NULL, *staging = NULL;
    ID3D11RenderTargetView* view = NULL;
    device->CreateTexture2D(&desc, NULL, &target);
    device->CreateRenderTargetView(target, NULL, &view);
    desc.BindFlags = 0;
    desc.Usage = D3D11_USAGE_STAGING;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    device->CreateTexture2D(&desc, NULL, &staging);

    D3D11_VIEWPORT viewport = {0.0f, 0.0f, 2.0f, 1.0f, 0.0f, 1.0f};
    context->RSSetViewports(1, &viewport);
    context->OMSetRenderTargets(1, &view, NULL);
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    context->VSSetShader(vs, NULL, 0);
    context->PSSetShader(ps, NULL, 0);
    context->Draw(3, 0);
    context->CopyResource(staging, target);
    D3D11_MAPPED_SUBRESOURCE mapped;
    if (FAILED(context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped))) return 2;
    float v[4];
    memcpy(v, mapped.pData, sizeof v);
    context->Unmap(staging, 0);
    printf("SV_Position in the first pixel: %g %g %g %g (Direct3D: 0.5 0.5 0.5 4)\n", v[0], v[1], v[2], v[3]);
    return v[0] == 0.5f && v[1] == 0.5f && v[2] == 0.5f && v[3] == 4.0f ? 0 : 1;
}
