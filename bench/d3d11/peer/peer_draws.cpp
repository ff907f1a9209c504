// A small Direct3D 11 program with the road scene's draw pattern, to compare Direct3D 11
// layers on the same GL driver: per draw it rewrites 24 box vertices through a discarding
// map, updates two constant blocks and draws 36 indices; 1 000 such draws make a frame, and
// each frame is waited for by reading one pixel back. It is built from this one source for
// Linux against our stand-in and for Windows (mingw-w64, x86-64) to run under Wine. Its
// shaders stay within what Wine's HLSL compiler accepts.
//
//   peer_draws [RESULT.json]   prints (and writes) the median frame time and time per draw
#include <windows.h>
#include <d3d11.h>
#include <d3dcompiler.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kDrawsPerFrame = 1000;
constexpr int kWarmFrames = 3;
constexpr int kFrames = 20;
constexpr UINT kWidth = 640, kHeight = 360;

const char kShaders[] =
    "cbuffer cbTransform : register(b0) { float4x4 World; float4x4 ViewProjection; };\n"
    "cbuffer cbColour : register(b1) { float4 Colour; };\n"
    "struct VSIn { float3 pos : POSITION; float2 uv : TEXCOORD0; float3 n : NORMAL; };\n"
    "struct VSOut { float4 pos : SV_Position; };\n"
    "VSOut VS(VSIn i) { VSOut o; o.pos = mul(mul(float4(i.pos, 1.0), World), ViewProjection); return o; }\n"
    "float4 PS(VSOut i) : SV_Target { return Colour; }\n";

struct Vertex {
    float x, y, z, u, v, nx, ny, nz;
};

template <typename T>
void Release(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

bool Check(HRESULT hr, const char* what) {
    if (SUCCEEDED(hr)) return true;
    std::fprintf(stderr, "peer_draws: %s failed (0x%08lx)\n", what, (unsigned long)hr);
    return false;
}

ID3DBlob* Compile(const char* entry, const char* target) {
    ID3DBlob* code = nullptr;
    ID3DBlob* errors = nullptr;
    const HRESULT hr = D3DCompile(kShaders, sizeof kShaders - 1, "peer.hlsl", nullptr, nullptr, entry, target, 0, 0,
                                  &code, &errors);
    if (errors) {
        std::fprintf(stderr, "%.*s\n", (int)errors->GetBufferSize(), (const char*)errors->GetBufferPointer());
        errors->Release();
    }
    return SUCCEEDED(hr) ? code : nullptr;
}

// The unit cube's 24 vertices scaled to a small box, 4 per face.
void BoxVertices(Vertex* v, float s) {
    static const float corners[6][4][3] = {
        {{-1, 1, -1}, {1, 1, -1}, {1, 1, 1}, {-1, 1, 1}},     {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
        {{-1, -1, 1}, {-1, -1, -1}, {-1, 1, -1}, {-1, 1, 1}}, {{1, -1, 1}, {1, -1, -1}, {1, 1, -1}, {1, 1, 1}},
        {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}}, {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}};
    for (int f = 0; f < 6; ++f)
        for (int c = 0; c < 4; ++c)
            v[f * 4 + c] = {corners[f][c][0] * s, corners[f][c][1] * s, corners[f][c][2] * s, 0, 0, 0, 1, 0};
}

}  // namespace

int main(int argc, char** argv) {
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0};
    if (!Check(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, levels, 1, D3D11_SDK_VERSION, &device,
                                 nullptr, &context),
               "D3D11CreateDevice"))
        return 1;

    ID3DBlob* vsCode = Compile("VS", "vs_4_0");
    ID3DBlob* psCode = Compile("PS", "ps_4_0");
    if (!vsCode || !psCode) return 1;
    ID3D11VertexShader* vs = nullptr;
    ID3D11PixelShader* ps = nullptr;
    ID3D11InputLayout* layout = nullptr;
    const D3D11_INPUT_ELEMENT_DESC elements[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"NORMAL", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 20, D3D11_INPUT_PER_VERTEX_DATA, 0}};
    if (!Check(device->CreateVertexShader(vsCode->GetBufferPointer(), vsCode->GetBufferSize(), nullptr, &vs),
               "CreateVertexShader") ||
        !Check(device->CreatePixelShader(psCode->GetBufferPointer(), psCode->GetBufferSize(), nullptr, &ps),
               "CreatePixelShader") ||
        !Check(device->CreateInputLayout(elements, 3, vsCode->GetBufferPointer(), vsCode->GetBufferSize(), &layout),
               "CreateInputLayout"))
        return 1;
    vsCode->Release();
    psCode->Release();

    D3D11_TEXTURE2D_DESC td = {kWidth, kHeight, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_DEFAULT,
                               D3D11_BIND_RENDER_TARGET, 0, 0};
    ID3D11Texture2D* colour = nullptr;
    ID3D11Texture2D* depth = nullptr;
    ID3D11Texture2D* staging = nullptr;
    ID3D11RenderTargetView* rtv = nullptr;
    ID3D11DepthStencilView* dsv = nullptr;
    Check(device->CreateTexture2D(&td, nullptr, &colour), "CreateTexture2D");
    td.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
    td.BindFlags = D3D11_BIND_DEPTH_STENCIL;
    Check(device->CreateTexture2D(&td, nullptr, &depth), "CreateTexture2D (depth)");
    td = {1, 1, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_STAGING, 0, D3D11_CPU_ACCESS_READ, 0};
    Check(device->CreateTexture2D(&td, nullptr, &staging), "CreateTexture2D (staging)");
    if (!colour || !depth || !staging || !Check(device->CreateRenderTargetView(colour, nullptr, &rtv), "RTV") ||
        !Check(device->CreateDepthStencilView(depth, nullptr, &dsv), "DSV"))
        return 1;

    const WORD cubeIndices[36] = {3, 1, 0, 2, 1, 3, 6, 4, 5, 7, 4, 6, 11, 9, 8, 10, 9, 11,
                                  14, 12, 13, 15, 12, 14, 19, 17, 16, 18, 17, 19, 22, 20, 21, 23, 20, 22};
    D3D11_BUFFER_DESC bd = {sizeof cubeIndices, D3D11_USAGE_IMMUTABLE, D3D11_BIND_INDEX_BUFFER, 0, 0, 0};
    const D3D11_SUBRESOURCE_DATA indexData = {cubeIndices, 0, 0};
    ID3D11Buffer *indices = nullptr, *vertices = nullptr, *transform = nullptr, *tint = nullptr;
    Check(device->CreateBuffer(&bd, &indexData, &indices), "CreateBuffer (indices)");
    bd = {24 * sizeof(Vertex), D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER, D3D11_CPU_ACCESS_WRITE, 0, 0};
    Check(device->CreateBuffer(&bd, nullptr, &vertices), "CreateBuffer (vertices)");
    bd = {128, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, 0, 0, 0};
    Check(device->CreateBuffer(&bd, nullptr, &transform), "CreateBuffer (transform)");
    bd.ByteWidth = 16;
    Check(device->CreateBuffer(&bd, nullptr, &tint), "CreateBuffer (colour)");
    if (!indices || !vertices || !transform || !tint) return 1;

    D3D11_DEPTH_STENCIL_DESC dd = {};
    dd.DepthEnable = TRUE;
    dd.DepthWriteMask = D3D11_DEPTH_WRITE_MASK_ALL;
    dd.DepthFunc = D3D11_COMPARISON_LESS;
    ID3D11DepthStencilState* depthOn = nullptr;
    Check(device->CreateDepthStencilState(&dd, &depthOn), "CreateDepthStencilState");

    const D3D11_VIEWPORT viewport = {0, 0, float(kWidth), float(kHeight), 0, 1};
    std::vector<double> frameMs;
    Vertex box[24];
    for (int frame = 0; frame < kWarmFrames + kFrames; ++frame) {
        const auto start = std::chrono::steady_clock::now();
        const float clear[4] = {0, 0, 0, 1};
        context->ClearRenderTargetView(rtv, clear);
        context->ClearDepthStencilView(dsv, D3D11_CLEAR_DEPTH, 1.0f, 0);
        context->OMSetRenderTargets(1, &rtv, dsv);
        context->OMSetDepthStencilState(depthOn, 0);
        context->RSSetViewports(1, &viewport);
        for (int i = 0; i < kDrawsPerFrame; ++i) {
            BoxVertices(box, 0.01f + 0.00001f * float(i % 50));
            D3D11_MAPPED_SUBRESOURCE mapped;
            if (FAILED(context->Map(vertices, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped))) return 1;
            std::memcpy(mapped.pData, box, sizeof box);
            context->Unmap(vertices, 0);
            // World: a translation over a grid; ViewProjection: identity with w = 1 (row vectors,
            // stored transposed as shaders read them).
            float block[32] = {};
            block[0] = block[5] = block[10] = block[15] = 1.0f;
            block[3] = -0.9f + 1.8f * float(i % 40) / 40.0f;
            block[7] = -0.9f + 1.8f * float(i / 40) / 25.0f;
            block[11] = 0.5f;
            block[16] = block[21] = block[26] = block[31] = 1.0f;
            context->UpdateSubresource(transform, 0, nullptr, block, 0, 0);
            const float colourBlock[4] = {0.07f, 0.03f, 0.22f + 0.0001f * float(i), 1.0f};
            context->UpdateSubresource(tint, 0, nullptr, colourBlock, 0, 0);

            const UINT stride = sizeof(Vertex), offset = 0;
            context->IASetVertexBuffers(0, 1, &vertices, &stride, &offset);
            context->IASetIndexBuffer(indices, DXGI_FORMAT_R16_UINT, 0);
            context->IASetInputLayout(layout);
            context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
            context->VSSetShader(vs, nullptr, 0);
            ID3D11Buffer* blocks[2] = {transform, tint};
            context->VSSetConstantBuffers(0, 2, blocks);
            context->PSSetShader(ps, nullptr, 0);
            context->PSSetConstantBuffers(0, 2, blocks);
            context->DrawIndexed(36, 0, 0);
        }
        const D3D11_BOX one = {kWidth / 2, kHeight / 2, 0, kWidth / 2 + 1, kHeight / 2 + 1, 1};
        context->CopySubresourceRegion(staging, 0, 0, 0, 0, colour, 0, &one);
        D3D11_MAPPED_SUBRESOURCE pixel;
        if (SUCCEEDED(context->Map(staging, 0, D3D11_MAP_READ, 0, &pixel))) context->Unmap(staging, 0);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (frame >= kWarmFrames) frameMs.push_back(ms);
    }
    std::sort(frameMs.begin(), frameMs.end());
    const double median = frameMs[frameMs.size() / 2];
    char result[256];
    std::snprintf(result, sizeof result,
                  "{\"draws_per_frame\": %d, \"frames\": %d, \"median_frame_ms\": %.3f, \"ns_per_draw\": %.1f}\n",
                  kDrawsPerFrame, kFrames, median, median * 1e6 / kDrawsPerFrame);
    std::fputs(result, stdout);
    if (argc > 1) {
        if (FILE* out = std::fopen(argv[1], "w")) {
            std::fputs(result, out);
            std::fclose(out);
        }
    }

    IUnknown* objects[] = {depthOn, tint, transform, vertices, indices, dsv, rtv, staging, depth, colour, layout, ps, vs};
    for (IUnknown* object : objects) object->Release();
    context->Release();
    device->Release();
    return 0;
}
