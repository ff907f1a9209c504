// IDXGISwapChain for one window. The back buffer is an off-screen texture like any render
// target (rows top first); Present shows it upright in the window through PresentFrame.
#pragma once

#include <dxgi.h>

#include <atomic>

#include "com_object.h"
#include "gl.h"
#include "private_data.h"

namespace quarvel::d3d11 {

class Device;
class Texture2D;

class SwapChain final : public IDXGISwapChain {
public:
    static HRESULT Create(Device* device, const DXGI_SWAP_CHAIN_DESC& desc, IDXGISwapChain** out);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override;

    // IDXGIObject
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID guid, UINT size, const void* data) override {
        return privateData_.Set(guid, size, data);
    }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID guid, const IUnknown* object) override {
        return privateData_.SetInterface(guid, object);
    }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID guid, UINT* size, void* data) override {
        return privateData_.Get(guid, size, data);
    }
    HRESULT STDMETHODCALLTYPE GetParent(REFIID riid, void** parent) override;

    // IDXGIDeviceSubObject
    HRESULT STDMETHODCALLTYPE GetDevice(REFIID riid, void** device) override;

    // IDXGISwapChain
    HRESULT STDMETHODCALLTYPE Present(UINT syncInterval, UINT flags) override;
    HRESULT STDMETHODCALLTYPE GetBuffer(UINT buffer, REFIID riid, void** surface) override;
    HRESULT STDMETHODCALLTYPE SetFullscreenState(BOOL fullscreen, IDXGIOutput* target) override;
    HRESULT STDMETHODCALLTYPE GetFullscreenState(BOOL* fullscreen, IDXGIOutput** target) override;
    HRESULT STDMETHODCALLTYPE GetDesc(DXGI_SWAP_CHAIN_DESC* desc) override;
    HRESULT STDMETHODCALLTYPE ResizeBuffers(UINT count, UINT width, UINT height, DXGI_FORMAT format,
                                            UINT flags) override;
    HRESULT STDMETHODCALLTYPE ResizeTarget(const DXGI_MODE_DESC* mode) override;
    HRESULT STDMETHODCALLTYPE GetContainingOutput(IDXGIOutput** output) override;
    HRESULT STDMETHODCALLTYPE GetFrameStatistics(DXGI_FRAME_STATISTICS* stats) override;
    HRESULT STDMETHODCALLTYPE GetLastPresentCount(UINT* count) override;

private:
    explicit SwapChain(Device* device);
    ~SwapChain();

    Device* device_;
    std::atomic<ULONG> refs_{1};
    PrivateData privateData_;
    DXGI_SWAP_CHAIN_DESC desc_{};
    PrivateRef<Texture2D> backBuffer_;
    GLuint readFramebuffer_ = 0;
    int swapInterval_ = -1;  // what SDL was last told
    bool fullscreen_ = false;
    UINT presentCount_ = 0;
};

}  // namespace quarvel::d3d11
