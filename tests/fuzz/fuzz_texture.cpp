// LoadTextureMemory on arbitrary bytes, on a checking device: the device copies every texel
// the description claims, so a decoded image smaller than described is caught there. A
// view that is handed back must be the only thing holding its texture; a failure must leave
// nothing alive.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <climits>

#include "checking_device.h"
#include "gfx/graphics_context.h"
#include "gfx/texture_loader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    graphics.device = fuzz::CreateCheckingDevice();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT_MAX) return 0;
    ID3D11ShaderResourceView* view = reinterpret_cast<ID3D11ShaderResourceView*>(1);
    const bool loaded = LoadTextureMemory(data, static_cast<int>(size), &view);
    if (loaded != (view != nullptr)) abort();
    if (view) {
        ID3D11Resource* resource = nullptr;
        view->GetResource(&resource);
        ID3D11Texture2D* texture = static_cast<ID3D11Texture2D*>(resource);
        D3D11_TEXTURE2D_DESC desc;
        texture->GetDesc(&desc);
        if (desc.Format != DXGI_FORMAT_R8G8B8A8_UNORM || desc.MipLevels != 1 || desc.ArraySize != 1 ||
            desc.BindFlags != D3D11_BIND_SHADER_RESOURCE)
            abort();
        resource->Release();
        view->Release();
    }
    if (fuzz::LiveObjects() != 0) abort();
    return 0;
}
