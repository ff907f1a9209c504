// A small Direct3D 11 program written against the Windows API: a window, a device and swap
// chain, one triangle, and a readback of the back buffer that checks what was drawn. The
// exit code says what went wrong (0: the picture is right).
#include <windows.h>
#include <d3d11.h>
#include <d3dcompiler.h>

#include <cstdio>
#include <cstring>

namespace {

const char kShader[] = R"(
struct VSIn { float3 pos : POSITION; float4 color : COLOR; };
struct VSOut { float4 pos : SV_Position; float4 color : COLOR; };

VSOut VS(VSIn i)
{
    VSOut o;
    o.pos = float4(i.pos, 1.0);
    o.color = i.color;
    return o;
}

float4 PS(VSOut i) : SV_Target { return i.color; }
)";

struct Vertex {
    float x, y, z;
    float r, g, b, a;
};

bool quitRequested = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) quitRequested = true;
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

template <typename T>
void SafeRelease(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

struct Graphics {
    IDXGISwapChain* swapChain = nullptr;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    ID3D11RenderTargetView* backBufferView = nullptr;
    ID3D11VertexShader* vertexShader = nullptr;
    ID3D11PixelShader* pixelShader = nullptr;
    ID3D11InputLayout* inputLayout = nullptr;
    ID3D11Buffer* vertices = nullptr;
    UINT width = 0, height = 0;

    void Release() {
        if (context) context->ClearState();
        SafeRelease(vertices);
        SafeRelease(inputLayout);
        SafeRelease(pixelShader);
        SafeRelease(vertexShader);
        SafeRelease(backBufferView);
        SafeRelease(swapChain);
        SafeRelease(context);
        SafeRelease(device);
    }
};

ID3DBlob* Compile(const char* entry, const char* target) {
    ID3DBlob* code = nullptr;
    ID3DBlob* errors = nullptr;
    const HRESULT hr = D3DCompile(kShader, sizeof kShader - 1, "triangle.hlsl", nullptr, nullptr, entry, target,
                                  D3DCOMPILE_ENABLE_STRICTNESS, 0, &code, &errors);
    if (errors) {
        std::fprintf(stderr, "%s\n", static_cast<const char*>(errors->GetBufferPointer()));
        errors->Release();
    }
    return SUCCEEDED(hr) ? code : nullptr;
}

int CreateGraphics(HWND window, Graphics& g) {
    RECT client{};
    GetClientRect(window, &client);
    g.width = UINT(client.right - client.left);
    g.height = UINT(client.bottom - client.top);

    DXGI_SWAP_CHAIN_DESC sd{};
    sd.BufferDesc.Width = g.width;
    sd.BufferDesc.Height = g.height;
    sd.BufferDesc.RefreshRate = {60, 1};
    sd.BufferDesc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    sd.SampleDesc = {1, 0};
    sd.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    sd.BufferCount = 2;
    sd.OutputWindow = window;
    sd.Windowed = TRUE;
    sd.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;

    const D3D_DRIVER_TYPE types[] = {D3D_DRIVER_TYPE_HARDWARE, D3D_DRIVER_TYPE_WARP, D3D_DRIVER_TYPE_REFERENCE};
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1, D3D_FEATURE_LEVEL_10_0};
    D3D_FEATURE_LEVEL level{};
    HRESULT hr = E_FAIL;
    for (D3D_DRIVER_TYPE type : types) {
        hr = D3D11CreateDeviceAndSwapChain(nullptr, type, nullptr, 0, levels, 3, D3D11_SDK_VERSION, &sd,
                                           &g.swapChain, &g.device, &level, &g.context);
        if (SUCCEEDED(hr)) break;
    }
    if (FAILED(hr)) return 10;

    ID3D11Texture2D* backBuffer = nullptr;
    if (FAILED(g.swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer))))
        return 11;
    hr = g.device->CreateRenderTargetView(backBuffer, nullptr, &g.backBufferView);
    backBuffer->Release();
    if (FAILED(hr)) return 12;

    ID3DBlob* vsCode = Compile("VS", "vs_4_0");
    ID3DBlob* psCode = Compile("PS", "ps_4_0");
    if (!vsCode || !psCode) return 13;
    hr = g.device->CreateVertexShader(vsCode->GetBufferPointer(), vsCode->GetBufferSize(), nullptr, &g.vertexShader);
    if (SUCCEEDED(hr))
        hr = g.device->CreatePixelShader(psCode->GetBufferPointer(), psCode->GetBufferSize(), nullptr, &g.pixelShader);
    const D3D11_INPUT_ELEMENT_DESC layout[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"COLOR", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 0, D3D11_APPEND_ALIGNED_ELEMENT, D3D11_INPUT_PER_VERTEX_DATA, 0},
    };
    if (SUCCEEDED(hr))
        hr = g.device->CreateInputLayout(layout, 2, vsCode->GetBufferPointer(), vsCode->GetBufferSize(),
                                         &g.inputLayout);
    vsCode->Release();
    psCode->Release();
    if (FAILED(hr)) return 14;

    // The upper-left half of the window, clockwise on screen.
    const Vertex triangle[] = {{-1, 1, 0.5f, 1, 0, 0, 1}, {1, 1, 0.5f, 1, 0, 0, 1}, {-1, -1, 0.5f, 1, 0, 0, 1}};
    D3D11_BUFFER_DESC bd{};
    bd.ByteWidth = sizeof triangle;
    bd.Usage = D3D11_USAGE_DEFAULT;
    bd.BindFlags = D3D11_BIND_VERTEX_BUFFER;
    D3D11_SUBRESOURCE_DATA init{};
    init.pSysMem = triangle;
    if (FAILED(g.device->CreateBuffer(&bd, &init, &g.vertices))) return 15;
    return 0;
}

void DrawFrame(Graphics& g) {
    const float background[4] = {0.0f, 0.0f, 0.25f, 1.0f};
    g.context->OMSetRenderTargets(1, &g.backBufferView, nullptr);
    D3D11_VIEWPORT viewport{};
    viewport.Width = float(g.width);
    viewport.Height = float(g.height);
    viewport.MaxDepth = 1.0f;
    g.context->RSSetViewports(1, &viewport);
    g.context->ClearRenderTargetView(g.backBufferView, background);
    const UINT stride = sizeof(Vertex), offset = 0;
    g.context->IASetVertexBuffers(0, 1, &g.vertices, &stride, &offset);
    g.context->IASetInputLayout(g.inputLayout);
    g.context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    g.context->VSSetShader(g.vertexShader, nullptr, 0);
    g.context->PSSetShader(g.pixelShader, nullptr, 0);
    g.context->Draw(3, 0);
}

// Reads the back buffer through a staging copy; 0 when the triangle is where it was drawn.
int CheckPicture(Graphics& g) {
    ID3D11Texture2D* backBuffer = nullptr;
    if (FAILED(g.swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&backBuffer))))
        return 20;
    D3D11_TEXTURE2D_DESC desc{};
    backBuffer->GetDesc(&desc);
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    ID3D11Texture2D* staging = nullptr;
    HRESULT hr = g.device->CreateTexture2D(&desc, nullptr, &staging);
    if (FAILED(hr)) {
        backBuffer->Release();
        return 21;
    }
    g.context->CopyResource(staging, backBuffer);
    backBuffer->Release();
    D3D11_MAPPED_SUBRESOURCE mapped{};
    hr = g.context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped);
    if (FAILED(hr)) {
        staging->Release();
        return 22;
    }
    auto pixel = [&](UINT x, UINT y) {
        const uint8_t* p = static_cast<const uint8_t*>(mapped.pData) + y * mapped.RowPitch + x * 4;
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    };
    const uint32_t topLeft = pixel(4, 4);
    const uint32_t bottomRight = pixel(desc.Width - 4, desc.Height - 4);
    g.context->Unmap(staging, 0);
    staging->Release();
    std::printf("top left %08x, bottom right %08x\n", topLeft, bottomRight);
    if (topLeft != 0xFF0000FFu) return 23;      // red, opaque
    if (bottomRight != 0x000040FFu) return 24;  // the clear colour
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "OutsideTriangle";
    if (!RegisterClassExA(&wc)) return 1;
    RECT rect = {0, 0, 320, 240};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExA(0, "OutsideTriangle", "Triangle", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    if (!window) return 2;
    ShowWindow(window, showCommand);

    Graphics g;
    int result = CreateGraphics(window, g);
    for (int frame = 0; result == 0 && frame < 3 && !quitRequested; ++frame) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DrawFrame(g);
        result = CheckPicture(g);
        if (result == 0 && FAILED(g.swapChain->Present(1, 0))) result = 30;
    }
    g.Release();
    DestroyWindow(window);
    return result;
}
