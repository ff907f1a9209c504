// D3D11CreateDevice and D3D11CreateDeviceAndSwapChain. Every driver type that renders
// (hardware, WARP, reference) gets the same GL 4.5 context: on this platform that is Mesa's
// or the GPU's driver, whichever the system provides.
#include <d3d11.h>

#include <string>

#include "context.h"
#include "core/hwnd_object.h"
#include "device.h"
#include "heap_policy.h"
#include "log.h"
#include "swap_chain.h"

namespace quarvel::d3d11 {
namespace {

constexpr D3D_FEATURE_LEVEL kDefaultLevels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1,
                                                D3D_FEATURE_LEVEL_10_0, D3D_FEATURE_LEVEL_9_3,
                                                D3D_FEATURE_LEVEL_9_2,  D3D_FEATURE_LEVEL_9_1};
constexpr UINT kKnownFlags = D3D11_CREATE_DEVICE_SINGLETHREADED | D3D11_CREATE_DEVICE_DEBUG |
                             D3D11_CREATE_DEVICE_SWITCH_TO_REF |
                             D3D11_CREATE_DEVICE_PREVENT_INTERNAL_THREADING_OPTIMIZATIONS |
                             D3D11_CREATE_DEVICE_BGRA_SUPPORT | D3D11_CREATE_DEVICE_DEBUGGABLE |
                             D3D11_CREATE_DEVICE_PREVENT_ALTERING_LAYER_SETTINGS_FROM_REGISTRY |
                             D3D11_CREATE_DEVICE_DISABLE_GPU_TIMEOUT | D3D11_CREATE_DEVICE_VIDEO_SUPPORT;

bool KnownLevel(D3D_FEATURE_LEVEL level) {
    for (D3D_FEATURE_LEVEL l : kDefaultLevels)
        if (l == level) return true;
    return level == D3D_FEATURE_LEVEL_11_1;
}

// The checks shared by both entry points; on success `level` is the level the device gets.
HRESULT CheckArguments(const char* f, IDXGIAdapter* adapter, D3D_DRIVER_TYPE driverType, HMODULE software, UINT flags,
                       const D3D_FEATURE_LEVEL* levels, UINT levelCount, UINT sdkVersion, D3D_FEATURE_LEVEL& level) {
    if (sdkVersion != D3D11_SDK_VERSION)
        return LogInvalid(f, "SDKVersion %u is not D3D11_SDK_VERSION (7)", sdkVersion), E_INVALIDARG;
    if (adapter) {
        LogUnsupported(f, "choosing an adapter (pass null for the default one)");
        return E_INVALIDARG;
    }
    switch (driverType) {
        case D3D_DRIVER_TYPE_HARDWARE:
        case D3D_DRIVER_TYPE_WARP:
        case D3D_DRIVER_TYPE_REFERENCE:
            break;
        case D3D_DRIVER_TYPE_UNKNOWN:
            return LogInvalid(f, "D3D_DRIVER_TYPE_UNKNOWN needs an adapter"), E_INVALIDARG;
        case D3D_DRIVER_TYPE_SOFTWARE:
            if (!software) return LogInvalid(f, "D3D_DRIVER_TYPE_SOFTWARE needs a software module"), E_INVALIDARG;
            LogUnsupported(f, "software rasterizer modules");
            return DXGI_ERROR_UNSUPPORTED;
        case D3D_DRIVER_TYPE_NULL:
            LogUnsupported(f, "the null driver");
            return DXGI_ERROR_UNSUPPORTED;
        default:
            return LogInvalid(f, "DriverType %d is not a D3D_DRIVER_TYPE", driverType), E_INVALIDARG;
    }
    if (software && driverType != D3D_DRIVER_TYPE_SOFTWARE)
        return LogInvalid(f, "Software must be null unless the driver type is SOFTWARE"), E_INVALIDARG;
    if (flags & ~kKnownFlags) return LogInvalid(f, "Flags 0x%x has unknown flags", flags), E_INVALIDARG;
    if (levels && levelCount == 0) return LogInvalid(f, "FeatureLevels is 0 with a feature-level array"), E_INVALIDARG;
    if (!levels) {
        levels = kDefaultLevels;
        levelCount = sizeof kDefaultLevels / sizeof kDefaultLevels[0];
    }
    for (UINT i = 0; i < levelCount; ++i) {
        if (!KnownLevel(levels[i]))
            return LogInvalid(f, "0x%x is not a D3D_FEATURE_LEVEL", levels[i]), E_INVALIDARG;
        if (levels[i] <= D3D_FEATURE_LEVEL_11_0) {
            level = levels[i];
            return S_OK;
        }
    }
    LogInvalid(f, "the device offers feature levels up to 11_0 only");
    return E_INVALIDARG;
}

HRESULT Create(const char* f, SDL_Window* window, IDXGIAdapter* adapter, D3D_DRIVER_TYPE driverType,
               HMODULE software, UINT flags, const D3D_FEATURE_LEVEL* levels, UINT levelCount, UINT sdkVersion,
               Device** device, D3D_FEATURE_LEVEL* levelOut) {
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_11_0;
    const HRESULT hr = CheckArguments(f, adapter, driverType, software, flags, levels, levelCount, sdkVersion, level);
    if (FAILED(hr)) return hr;
    if (levelOut) *levelOut = level;
    if (!device) return S_OK;
    FixHeapPolicy();
    std::string error;
    const HRESULT created = Device::Create(window, level, flags, device, error);
    if (FAILED(created)) LogError(f, "%s", error.c_str());
    return created;
}

}  // namespace
}  // namespace quarvel::d3d11

using quarvel::d3d11::Device;

extern "C" HRESULT WINAPI D3D11CreateDevice(IDXGIAdapter* pAdapter, D3D_DRIVER_TYPE DriverType, HMODULE Software,
                                            UINT Flags, const D3D_FEATURE_LEVEL* pFeatureLevels, UINT FeatureLevels,
                                            UINT SDKVersion, ID3D11Device** ppDevice,
                                            D3D_FEATURE_LEVEL* pFeatureLevel,
                                            ID3D11DeviceContext** ppImmediateContext) {
    if (ppDevice) *ppDevice = nullptr;
    if (ppImmediateContext) *ppImmediateContext = nullptr;
    const bool wanted = ppDevice || ppImmediateContext;
    Device* device = nullptr;
    const HRESULT hr = quarvel::d3d11::Create("D3D11CreateDevice", nullptr, pAdapter, DriverType, Software, Flags,
                                              pFeatureLevels, FeatureLevels, SDKVersion, wanted ? &device : nullptr,
                                              pFeatureLevel);
    if (FAILED(hr)) return hr;
    if (!wanted) return S_FALSE;  // only the feature level was asked for
    if (ppImmediateContext) device->GetImmediateContext(ppImmediateContext);
    if (ppDevice)
        *ppDevice = device;
    else
        device->Release();
    return S_OK;
}

extern "C" HRESULT WINAPI D3D11CreateDeviceAndSwapChain(
    IDXGIAdapter* pAdapter, D3D_DRIVER_TYPE DriverType, HMODULE Software, UINT Flags,
    const D3D_FEATURE_LEVEL* pFeatureLevels, UINT FeatureLevels, UINT SDKVersion,
    const DXGI_SWAP_CHAIN_DESC* pSwapChainDesc, IDXGISwapChain** ppSwapChain, ID3D11Device** ppDevice,
    D3D_FEATURE_LEVEL* pFeatureLevel, ID3D11DeviceContext** ppImmediateContext) {
    const char* f = "D3D11CreateDeviceAndSwapChain";
    if (ppSwapChain) *ppSwapChain = nullptr;
    if (ppDevice) *ppDevice = nullptr;
    if (ppImmediateContext) *ppImmediateContext = nullptr;
    SDL_Window* window = nullptr;
    if (ppSwapChain) {
        if (!pSwapChainDesc)
            return quarvel::d3d11::LogInvalid(f, "pSwapChainDesc is null but ppSwapChain is not"), E_INVALIDARG;
        window = quarvel::core::SdlWindowFromHwnd(pSwapChainDesc->OutputWindow);
        if (!window)
            return quarvel::d3d11::LogInvalid(f, "OutputWindow is not a live top-level window"),
                   DXGI_ERROR_INVALID_CALL;
    }
    const bool wanted = ppSwapChain || ppDevice || ppImmediateContext;
    Device* device = nullptr;
    const HRESULT hr = quarvel::d3d11::Create(f, window, pAdapter, DriverType, Software, Flags, pFeatureLevels,
                                              FeatureLevels, SDKVersion, wanted ? &device : nullptr, pFeatureLevel);
    if (FAILED(hr)) return hr;
    if (!wanted) return S_FALSE;
    if (ppSwapChain) {
        const HRESULT chain = quarvel::d3d11::SwapChain::Create(device, *pSwapChainDesc, ppSwapChain);
        if (FAILED(chain)) {
            device->Release();
            return chain;
        }
    }
    if (ppImmediateContext) device->GetImmediateContext(ppImmediateContext);
    if (ppDevice)
        *ppDevice = device;
    else
        device->Release();
    return S_OK;
}
