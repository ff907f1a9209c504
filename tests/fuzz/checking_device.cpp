#include "checking_device.h"

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "device_calls.h"

namespace fuzz {
namespace {

int liveObjects = 0;

// A reference count, and no other interface to query.
template <typename Interface>
class Counted : public Interface {
public:
    virtual ~Counted() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        if (references_ == 0) __builtin_trap();  // released more often than referenced
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG references_ = 1;
};

// What every object of the device shares: its count among the live ones, and the
// device-child calls nothing here uses.
template <typename Interface>
class Object : public Counted<Interface> {
public:
    Object() { ++liveObjects; }
    ~Object() override { --liveObjects; }
    void STDMETHODCALLTYPE GetDevice(ID3D11Device** device) override {
        if (device) *device = nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID, UINT*, void*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID, UINT, const void*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID, const IUnknown*) override { return E_NOTIMPL; }
};

template <typename Interface>
class Resource : public Object<Interface> {
public:
    void STDMETHODCALLTYPE SetEvictionPriority(UINT) override {}
    UINT STDMETHODCALLTYPE GetEvictionPriority() override { return 0; }
};

class Buffer final : public Resource<ID3D11Buffer> {
public:
    Buffer(const D3D11_BUFFER_DESC& desc, std::vector<uint8_t> contents) : desc_(desc), contents_(std::move(contents)) {}
    void STDMETHODCALLTYPE GetType(D3D11_RESOURCE_DIMENSION* type) override { *type = D3D11_RESOURCE_DIMENSION_BUFFER; }
    void STDMETHODCALLTYPE GetDesc(D3D11_BUFFER_DESC* desc) override { *desc = desc_; }

private:
    D3D11_BUFFER_DESC desc_;
    std::vector<uint8_t> contents_;
};

class Texture2D final : public Resource<ID3D11Texture2D> {
public:
    Texture2D(const D3D11_TEXTURE2D_DESC& desc, std::vector<uint8_t> texels) : desc_(desc), texels_(std::move(texels)) {}
    void STDMETHODCALLTYPE GetType(D3D11_RESOURCE_DIMENSION* type) override {
        *type = D3D11_RESOURCE_DIMENSION_TEXTURE2D;
    }
    void STDMETHODCALLTYPE GetDesc(D3D11_TEXTURE2D_DESC* desc) override { *desc = desc_; }

private:
    D3D11_TEXTURE2D_DESC desc_;
    std::vector<uint8_t> texels_;
};

class View final : public Object<ID3D11ShaderResourceView> {
public:
    explicit View(ID3D11Resource* resource) : resource_(resource) { resource_->AddRef(); }
    ~View() override { resource_->Release(); }
    void STDMETHODCALLTYPE GetResource(ID3D11Resource** resource) override {
        resource_->AddRef();
        *resource = resource_;
    }
    void STDMETHODCALLTYPE GetDesc(D3D11_SHADER_RESOURCE_VIEW_DESC* desc) override { std::memset(desc, 0, sizeof *desc); }

private:
    ID3D11Resource* resource_;
};

// Bytes per texel of the formats the loaders use.
UINT TexelBytes(DXGI_FORMAT f) {
    const bool rgba = f == DXGI_FORMAT_R8G8B8A8_UNORM || f == DXGI_FORMAT_R8G8B8A8_UNORM_SRGB;
    return rgba || f == DXGI_FORMAT_B8G8R8A8_UNORM ? 4 : 0;
}

// The calls the loaders never make: refused, or answered with nothing.
template <typename T>
T Nothing() {
    if constexpr (std::is_same_v<T, HRESULT>) return E_NOTIMPL;
    return T();
}
#define QUARVEL_REFUSE(name, params, args) \
    HRESULT STDMETHODCALLTYPE name params override { return E_NOTIMPL; }
#define QUARVEL_NOTHING(type, name, params, args) \
    type STDMETHODCALLTYPE name params override { return Nothing<type>(); }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
class RefusingDevice : public ID3D11Device {
public:
    QUARVEL_DEVICE_CREATION_CALLS(QUARVEL_REFUSE)
    QUARVEL_DEVICE_OTHER_CALLS(QUARVEL_NOTHING)
};
#pragma GCC diagnostic pop

class CheckingDevice final : public Counted<RefusingDevice> {
public:
    HRESULT STDMETHODCALLTYPE CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* initial,
                                           ID3D11Buffer** buffer) override {
        if (buffer) *buffer = nullptr;
        if (!desc || desc->ByteWidth == 0) return E_INVALIDARG;
        if (desc->Usage == D3D11_USAGE_IMMUTABLE && !initial) return E_INVALIDARG;
        std::vector<uint8_t> contents(desc->ByteWidth);
        if (initial) {
            if (!initial->pSysMem) return E_INVALIDARG;
            std::memcpy(contents.data(), initial->pSysMem, desc->ByteWidth);
        }
        if (!buffer) return S_FALSE;
        *buffer = new Buffer(*desc, std::move(contents));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* initial,
                                              ID3D11Texture2D** texture) override {
        if (texture) *texture = nullptr;
        if (!desc) return E_INVALIDARG;
        const UINT texelBytes = TexelBytes(desc->Format);
        if (texelBytes == 0 || desc->Width == 0 || desc->Height == 0 ||
            desc->Width > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION || desc->Height > D3D11_REQ_TEXTURE2D_U_OR_V_DIMENSION ||
            desc->MipLevels != 1 || desc->ArraySize != 1 || desc->SampleDesc.Count != 1)
            return E_INVALIDARG;
        const size_t rowBytes = size_t(desc->Width) * texelBytes;
        std::vector<uint8_t> texels(rowBytes * desc->Height);
        if (initial) {
            if (!initial->pSysMem || initial->SysMemPitch < rowBytes) return E_INVALIDARG;
            const auto* source = static_cast<const uint8_t*>(initial->pSysMem);
            for (UINT row = 0; row < desc->Height; ++row)
                std::memcpy(texels.data() + row * rowBytes, source + size_t(row) * initial->SysMemPitch, rowBytes);
        }
        if (!texture) return S_FALSE;
        *texture = new Texture2D(*desc, std::move(texels));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE CreateShaderResourceView(ID3D11Resource* resource,
                                                       const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                                       ID3D11ShaderResourceView** view) override {
        if (view) *view = nullptr;
        if (!resource) return E_INVALIDARG;
        D3D11_RESOURCE_DIMENSION type;
        resource->GetType(&type);
        // A buffer view needs its element range described.
        if (type == D3D11_RESOURCE_DIMENSION_BUFFER && !desc) return E_INVALIDARG;
        if (!view) return S_FALSE;
        *view = new View(resource);
        return S_OK;
    }
};

}  // namespace

ID3D11Device* CreateCheckingDevice() { return new CheckingDevice; }

int LiveObjects() { return liveObjects; }

}  // namespace fuzz
