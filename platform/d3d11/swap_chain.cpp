#include "swap_chain.h"

#include <SDL2/SDL.h>

#include <new>
#include <typeinfo>

#include "device.h"
#include "log.h"
#include "present_frame.h"
#include "texture2d.h"

namespace quarvel::d3d11 {

SwapChain::SwapChain(Device* device) : device_(device) {
    device_->AddRef();
    ObjectCreated(typeid(IDXGISwapChain).name());
}

SwapChain::~SwapChain() {
    if (readFramebuffer_) {
        device_->MakeCurrent();
        device_->Gl().ForgetFramebuffer(readFramebuffer_);
        glDeleteFramebuffers(1, &readFramebuffer_);
    }
    backBuffer_.Reset(nullptr);
    ObjectDestroyed(typeid(IDXGISwapChain).name(), true);
    device_->Release();
}

HRESULT SwapChain::Create(Device* device, const DXGI_SWAP_CHAIN_DESC& descIn, IDXGISwapChain** out) {
    const char* f = "CreateSwapChain";
    *out = nullptr;
    DXGI_SWAP_CHAIN_DESC desc = descIn;
    SDL_Window* window = device->Window();
    if (desc.BufferDesc.Width == 0 || desc.BufferDesc.Height == 0) {
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);  // a size of 0 takes the window's client area
        if (desc.BufferDesc.Width == 0) desc.BufferDesc.Width = static_cast<UINT>(w > 0 ? w : 1);
        if (desc.BufferDesc.Height == 0) desc.BufferDesc.Height = static_cast<UINT>(h > 0 ? h : 1);
    }
    const FormatInfo* format = GetFormatInfo(desc.BufferDesc.Format);
    if (!format || !format->Has(kFormatDisplay))
        return LogInvalid(f, "BufferDesc.Format %d cannot be a swap-chain buffer", desc.BufferDesc.Format),
               DXGI_ERROR_INVALID_CALL;
    if (desc.BufferCount < 1 || desc.BufferCount > DXGI_MAX_SWAP_CHAIN_BUFFERS)
        return LogInvalid(f, "BufferCount %u is not 1 to 16", desc.BufferCount), DXGI_ERROR_INVALID_CALL;
    if ((desc.SwapEffect == DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL || desc.SwapEffect == DXGI_SWAP_EFFECT_FLIP_DISCARD) &&
        desc.BufferCount < 2)
        return LogInvalid(f, "flip swap effects need at least 2 buffers"), DXGI_ERROR_INVALID_CALL;
    if (desc.SampleDesc.Count != 1) {
        LogUnsupported(f, "multisampled swap chains");
        return DXGI_ERROR_INVALID_CALL;
    }
    if (desc.BufferUsage & ~(DXGI_USAGE_RENDER_TARGET_OUTPUT | DXGI_USAGE_SHADER_INPUT | DXGI_USAGE_BACK_BUFFER |
                             DXGI_USAGE_DISCARD_ON_PRESENT))
        LogUnsupported(f, "BufferUsage other than render target, shader input and back buffer (ignored)");

    D3D11_TEXTURE2D_DESC td{};
    td.Width = desc.BufferDesc.Width;
    td.Height = desc.BufferDesc.Height;
    td.MipLevels = 1;
    td.ArraySize = 1;
    td.Format = desc.BufferDesc.Format;
    td.SampleDesc = {1, 0};
    td.Usage = D3D11_USAGE_DEFAULT;
    td.BindFlags = ((desc.BufferUsage & DXGI_USAGE_RENDER_TARGET_OUTPUT) ? D3D11_BIND_RENDER_TARGET : 0) |
                   ((desc.BufferUsage & DXGI_USAGE_SHADER_INPUT) ? D3D11_BIND_SHADER_RESOURCE : 0);
    Texture2D* buffer = nullptr;
    const HRESULT hr = Texture2D::CreateInternal(device, td, &buffer);
    if (FAILED(hr)) return hr;

    auto* chain = new (std::nothrow) SwapChain(device);
    if (!chain) {
        buffer->Release();
        return E_OUTOFMEMORY;
    }
    chain->desc_ = desc;
    chain->backBuffer_.Reset(buffer);
    buffer->Release();  // the swap chain's reference is private, like Direct3D's
    device->MakeCurrent();
    glCreateFramebuffers(1, &chain->readFramebuffer_);
    glNamedFramebufferTexture(chain->readFramebuffer_, GL_COLOR_ATTACHMENT0, buffer->GlTexture(), 0);
    glNamedFramebufferReadBuffer(chain->readFramebuffer_, GL_COLOR_ATTACHMENT0);
    if (!desc.Windowed) chain->SetFullscreenState(TRUE, nullptr);
    *out = chain;
    return S_OK;
}

HRESULT SwapChain::QueryInterface(REFIID riid, void** object) {
    return QueryInterfaceFor<IDXGISwapChain, IDXGIDeviceSubObject, IDXGIObject, IUnknown>(this, riid, object);
}

ULONG SwapChain::Release() {
    const ULONG count = --refs_;
    if (count == 0) delete this;
    return count;
}

HRESULT SwapChain::GetParent(REFIID, void** parent) {
    if (parent) *parent = nullptr;
    LogUnsupported("GetParent", "DXGI factories and adapters");
    return E_NOINTERFACE;
}

HRESULT SwapChain::GetDevice(REFIID riid, void** device) { return device_->QueryInterface(riid, device); }

HRESULT SwapChain::Present(UINT syncInterval, UINT flags) {
    if (syncInterval > 4) return LogInvalid("Present", "SyncInterval %u is more than 4", syncInterval), DXGI_ERROR_INVALID_CALL;
    if (flags & DXGI_PRESENT_TEST) return S_OK;  // nothing is presented; the window is never occluded
    device_->MakeCurrent();
    const int interval = static_cast<int>(syncInterval);
    if (interval != swapInterval_) {
        if (SDL_GL_SetSwapInterval(interval) != 0 && interval != 0)
            LogUnsupported("Present", "a sync interval on this display (frames are not paced)");
        swapInterval_ = interval;
    }
    const Texture2D& buffer = *backBuffer_.Get();
    // A frame is a submission: the streamed storage its draws read is free once it is done.
    device_->Stream().Fence();
    PresentFrame(device_->Window(), device_->Gl(), readFramebuffer_, buffer.Desc().Width, buffer.Desc().Height);
    ++presentCount_;
    return S_OK;
}

HRESULT SwapChain::GetBuffer(UINT index, REFIID riid, void** surface) {
    if (!surface) return DXGI_ERROR_INVALID_CALL;
    *surface = nullptr;
    // Only buffer 0 can be reached with the discard and sequential effects.
    if (index != 0 && desc_.SwapEffect != DXGI_SWAP_EFFECT_SEQUENTIAL)
        return LogInvalid("GetBuffer", "only buffer 0 can be accessed"), DXGI_ERROR_INVALID_CALL;
    if (index >= desc_.BufferCount) return LogInvalid("GetBuffer", "Buffer %u is out of range", index), DXGI_ERROR_INVALID_CALL;
    return backBuffer_->QueryInterface(riid, surface);
}

HRESULT SwapChain::SetFullscreenState(BOOL fullscreen, IDXGIOutput* target) {
    if (target) LogUnsupported("SetFullscreenState", "choosing an output (the window's display is used)");
    // Desktop full screen: the back buffer is stretched to the display by PresentFrame.
    if (SDL_SetWindowFullscreen(device_->Window(), fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return LogError("SetFullscreenState", "%s", SDL_GetError()), DXGI_ERROR_NOT_CURRENTLY_AVAILABLE;
    fullscreen_ = fullscreen;
    desc_.Windowed = !fullscreen;
    return S_OK;
}

HRESULT SwapChain::GetFullscreenState(BOOL* fullscreen, IDXGIOutput** target) {
    if (fullscreen) *fullscreen = fullscreen_ ? TRUE : FALSE;
    if (target) *target = nullptr;
    return S_OK;
}

HRESULT SwapChain::GetDesc(DXGI_SWAP_CHAIN_DESC* desc) {
    if (!desc) return E_INVALIDARG;
    *desc = desc_;
    return S_OK;
}

HRESULT SwapChain::ResizeBuffers(UINT, UINT, UINT, DXGI_FORMAT, UINT) {
    LogUnsupported("ResizeBuffers", "resizing swap-chain buffers");
    return DXGI_ERROR_INVALID_CALL;
}

HRESULT SwapChain::ResizeTarget(const DXGI_MODE_DESC* mode) {
    if (!mode) return DXGI_ERROR_INVALID_CALL;
    if (!fullscreen_ && mode->Width && mode->Height)
        SDL_SetWindowSize(device_->Window(), static_cast<int>(mode->Width), static_cast<int>(mode->Height));
    return S_OK;
}

HRESULT SwapChain::GetContainingOutput(IDXGIOutput** output) {
    if (output) *output = nullptr;
    LogUnsupported("GetContainingOutput", "DXGI outputs");
    return DXGI_ERROR_UNSUPPORTED;
}

HRESULT SwapChain::GetFrameStatistics(DXGI_FRAME_STATISTICS* stats) {
    if (stats) *stats = {};
    LogUnsupported("GetFrameStatistics", "frame statistics");
    return DXGI_ERROR_UNSUPPORTED;
}

HRESULT SwapChain::GetLastPresentCount(UINT* count) {
    if (!count) return DXGI_ERROR_INVALID_CALL;
    *count = presentCount_;
    return S_OK;
}

}  // namespace quarvel::d3d11
