// A small Direct3D 11 program written against the Windows API: a window, a device and swap
// chain, shaders from HLSL, one triangle made from the vertex ids, and a read-back of the back
// buffer that checks what was drawn. The exit code says what went wrong (0: all right).
#include <windows.h>
#include <d3d11.h>
#include <d3dcompiler.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>

namespace {

// Red over the upper-left half of clip space, from the vertex ids alone.
const char kShader[] =
    "float4 VS(uint id : SV_VertexID) : SV_Position { return float4(id == 1 ? 1 : -1, id == 2 ? -1 : 1, 0.5, 1); }\n"
    "float4 PS() : SV_Target { return float4(1, 0, 0, 1); }\n";

ID3DBlob* Compile(const char* entry, const char* target) {
    ID3DBlob *code = nullptr, *errors = nullptr;
    D3DCompile(kShader, sizeof kShader - 1, "triangle.hlsl", nullptr, nullptr, entry, target, 0, 0, &code, &errors);
    if (errors) std::fprintf(stderr, "%s\n", static_cast<const char*>(errors->GetBufferPointer()));
    return code;
}

int Run(HWND window) {
    DXGI_SWAP_CHAIN_DESC sd{};
    sd.BufferDesc = {0, 0, {60, 1}, DXGI_FORMAT_R8G8B8A8_UNORM};  // the window's size
    sd.SampleDesc = {1, 0};
    sd.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    sd.BufferCount = 2;
    sd.OutputWindow = window;
    sd.Windowed = TRUE;
    IDXGISwapChain* chain = nullptr;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    if (FAILED(D3D11CreateDeviceAndSwapChain(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0,
                                             D3D11_SDK_VERSION, &sd, &chain, &device, nullptr, &context)))
        return 10;
    ID3D11Texture2D* back = nullptr;
    chain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&back));
    ID3D11RenderTargetView* view = nullptr;
    device->CreateRenderTargetView(back, nullptr, &view);
    ID3DBlob *vs = Compile("VS", "vs_4_0"), *ps = Compile("PS", "ps_4_0");
    if (!view || !vs || !ps) return 11;
    ID3D11VertexShader* vertexShader = nullptr;
    ID3D11PixelShader* pixelShader = nullptr;
    device->CreateVertexShader(vs->GetBufferPointer(), vs->GetBufferSize(), nullptr, &vertexShader);
    device->CreatePixelShader(ps->GetBufferPointer(), ps->GetBufferSize(), nullptr, &pixelShader);
    if (!vertexShader || !pixelShader) return 12;

    D3D11_TEXTURE2D_DESC desc{};
    back->GetDesc(&desc);
    const float blue[4] = {0, 0, 0.25f, 1};
    const D3D11_VIEWPORT viewport = {0, 0, float(desc.Width), float(desc.Height), 0, 1};
    context->OMSetRenderTargets(1, &view, nullptr);
    context->RSSetViewports(1, &viewport);
    context->ClearRenderTargetView(view, blue);
    context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    context->VSSetShader(vertexShader, nullptr, 0);
    context->PSSetShader(pixelShader, nullptr, 0);
    context->Draw(3, 0);

    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    ID3D11Texture2D* staging = nullptr;
    device->CreateTexture2D(&desc, nullptr, &staging);
    context->CopyResource(staging, back);
    D3D11_MAPPED_SUBRESOURCE mapped{};
    if (FAILED(context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped))) return 13;
    auto pixel = [&](UINT x, UINT y) {
        const uint8_t* p = static_cast<const uint8_t*>(mapped.pData) + y * mapped.RowPitch + x * 4;
        return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    };
    const uint32_t topLeft = pixel(4, 4), bottomRight = pixel(desc.Width - 4, desc.Height - 4);
    context->Unmap(staging, 0);
    std::printf("top left %08x, bottom right %08x\n", topLeft, bottomRight);
    int result = topLeft != 0xFF0000FFu ? 20 : bottomRight != 0x000040FFu ? 21 : 0;
    if (result == 0 && FAILED(chain->Present(1, 0))) result = 22;

    context->ClearState();
    for (IUnknown* object : {(IUnknown*)staging, (IUnknown*)pixelShader, (IUnknown*)vertexShader, (IUnknown*)ps,
                             (IUnknown*)vs, (IUnknown*)view, (IUnknown*)back, (IUnknown*)chain, (IUnknown*)context,
                             (IUnknown*)device})
        object->Release();
    return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "OutsideTriangle";
    if (!RegisterClassExA(&wc)) return 1;
    HWND window = CreateWindowExA(0, "OutsideTriangle", "Triangle", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  320, 240, nullptr, nullptr, instance, nullptr);
    if (!window) return 2;
    ShowWindow(window, showCommand);
    const int result = Run(window);
    DestroyWindow(window);
    return result;
}
