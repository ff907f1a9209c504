#include "gfx_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/main_window.h"
#include "failing_device.h"
#include "test_window.h"

extern "C" {
HRESULT WINAPI __real_D3DCompile(LPCVOID, SIZE_T, LPCSTR, const D3D_SHADER_MACRO*, ID3DInclude*, LPCSTR, LPCSTR,
                                 UINT, UINT, ID3DBlob**, ID3DBlob**);
HRESULT WINAPI __real_D3D11CreateDeviceAndSwapChain(IDXGIAdapter*, D3D_DRIVER_TYPE, HMODULE, UINT,
                                                    const D3D_FEATURE_LEVEL*, UINT, UINT,
                                                    const DXGI_SWAP_CHAIN_DESC*, IDXGISwapChain**, ID3D11Device**,
                                                    D3D_FEATURE_LEVEL*, ID3D11DeviceContext**);
void WINAPI __real_OutputDebugStringA(LPCSTR);
void* __real_calloc(size_t count, size_t size);

void* __wrap_calloc(size_t count, size_t size) {
    int& failing = gfx_test::Intercepted().failingCallocs;
    if (failing > 0) {
        --failing;
        return nullptr;
    }
    return __real_calloc(count, size);
}

int WINAPI __wrap_MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    gfx_test::Intercepted().messageBoxes.push_back({text ? text : "", caption ? caption : "", owner, type});
    return IDOK;
}

void WINAPI __wrap_OutputDebugStringA(LPCSTR text) {
    if (text) gfx_test::Intercepted().debugOutput += text;
    __real_OutputDebugStringA(text);
}

HRESULT WINAPI __wrap_D3DCompile(LPCVOID source, SIZE_T size, LPCSTR name, const D3D_SHADER_MACRO* defines,
                                 ID3DInclude* include, LPCSTR entry, LPCSTR target, UINT flags1, UINT flags2,
                                 ID3DBlob** code, ID3DBlob** errors) {
    gfx_test::Intercepts& seen = gfx_test::Intercepted();
    seen.compiles.push_back({std::string(static_cast<const char*>(source), size), name ? name : "",
                             entry ? entry : "", target ? target : "", flags1, flags2, defines != nullptr,
                             include != nullptr});
    if (seen.fakeCompiler) return seen.fakeCompiler(seen.compiles.back(), code, errors);
    return __real_D3DCompile(source, size, name, defines, include, entry, target, flags1, flags2, code, errors);
}

HRESULT WINAPI __wrap_D3D11CreateDeviceAndSwapChain(IDXGIAdapter* adapter, D3D_DRIVER_TYPE driver, HMODULE software,
                                                    UINT flags, const D3D_FEATURE_LEVEL* levels, UINT levelCount,
                                                    UINT sdk, const DXGI_SWAP_CHAIN_DESC* chainDesc,
                                                    IDXGISwapChain** chain, ID3D11Device** device,
                                                    D3D_FEATURE_LEVEL* level, ID3D11DeviceContext** context) {
    gfx_test::Intercepts& seen = gfx_test::Intercepted();
    seen.triedDrivers.push_back(driver);
    for (D3D_DRIVER_TYPE failing : seen.failingDrivers) {
        if (failing != driver) continue;
        if (chain) *chain = nullptr;
        if (device) *device = nullptr;
        if (context) *context = nullptr;
        return E_FAIL;
    }
    // The stand-in has one kind of device; whichever type is asked for gets it.
    HRESULT hr = __real_D3D11CreateDeviceAndSwapChain(adapter, D3D_DRIVER_TYPE_HARDWARE, software, flags, levels,
                                                      levelCount, sdk, chainDesc, chain, device, level, context);
    if (SUCCEEDED(hr) && device && *device) *device = gfx_test::WrapDevice(*device, seen.failCreationAt);
    return hr;
}
}  // extern "C"

namespace gfx_test {

Intercepts& Intercepted() {
    static Intercepts intercepts;
    return intercepts;
}

void ResetIntercepts() { Intercepted() = Intercepts(); }

HWND CreateMainWindow(int width, int height) {
    DestroyMainWindow();
    mainWindow = quarvel::test::OpenTestWindow(width, height);
    if (mainWindow) ShowWindow(mainWindow, SW_SHOW);
    return mainWindow;
}

void DestroyMainWindow() {
    if (mainWindow) DestroyWindow(mainWindow);
    mainWindow = nullptr;
}

HRESULT RealCompile(const CompileCall& call, ID3DBlob** code, ID3DBlob** errors) {
    return __real_D3DCompile(call.text.data(), call.text.size(), call.sourceName.c_str(), nullptr, nullptr,
                             call.entry.c_str(), call.target.c_str(), call.flags1, call.flags2, code, errors);
}

ID3DBlob* TextBlob(const std::string& text) {
    ID3DBlob* blob = nullptr;
    if (FAILED(D3DCreateBlob(text.size() + 1, &blob))) return nullptr;
    std::memcpy(blob->GetBufferPointer(), text.c_str(), text.size() + 1);
    return blob;
}

}  // namespace gfx_test
