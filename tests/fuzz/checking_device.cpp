#include "checking_device.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace fuzz {
namespace {

int liveObjects = 0;

// The parts every object of the device shares: a reference count and the device-child
// calls nothing here uses.
template <typename Interface>
class Object : public Interface {
public:
    Object() { ++liveObjects; }
    virtual ~Object() { --liveObjects; }

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
    void STDMETHODCALLTYPE GetDevice(ID3D11Device** device) override {
        if (device) *device = nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID, UINT*, void*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID, UINT, const void*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID, const IUnknown*) override { return E_NOTIMPL; }

private:
    ULONG references_ = 1;
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
UINT TexelBytes(DXGI_FORMAT format) {
    switch (format) {
        case DXGI_FORMAT_R8G8B8A8_UNORM:
        case DXGI_FORMAT_R8G8B8A8_UNORM_SRGB:
        case DXGI_FORMAT_B8G8R8A8_UNORM:
            return 4;
        default:
            return 0;
    }
}

#define QUARVEL_NOT_HERE(name, ...) \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }

class CheckingDevice final : public ID3D11Device {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        if (references_ == 0) __builtin_trap();
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

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

    QUARVEL_NOT_HERE(CreateTexture1D, const D3D11_TEXTURE1D_DESC*, const D3D11_SUBRESOURCE_DATA*, ID3D11Texture1D**)
    QUARVEL_NOT_HERE(CreateTexture3D, const D3D11_TEXTURE3D_DESC*, const D3D11_SUBRESOURCE_DATA*, ID3D11Texture3D**)
    QUARVEL_NOT_HERE(CreateUnorderedAccessView, ID3D11Resource*, const D3D11_UNORDERED_ACCESS_VIEW_DESC*,
                     ID3D11UnorderedAccessView**)
    QUARVEL_NOT_HERE(CreateRenderTargetView, ID3D11Resource*, const D3D11_RENDER_TARGET_VIEW_DESC*,
                     ID3D11RenderTargetView**)
    QUARVEL_NOT_HERE(CreateDepthStencilView, ID3D11Resource*, const D3D11_DEPTH_STENCIL_VIEW_DESC*,
                     ID3D11DepthStencilView**)
    QUARVEL_NOT_HERE(CreateInputLayout, const D3D11_INPUT_ELEMENT_DESC*, UINT, const void*, SIZE_T,
                     ID3D11InputLayout**)
    QUARVEL_NOT_HERE(CreateVertexShader, const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11VertexShader**)
    QUARVEL_NOT_HERE(CreateGeometryShader, const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11GeometryShader**)
    QUARVEL_NOT_HERE(CreateGeometryShaderWithStreamOutput, const void*, SIZE_T, const D3D11_SO_DECLARATION_ENTRY*,
                     UINT, const UINT*, UINT, UINT, ID3D11ClassLinkage*, ID3D11GeometryShader**)
    QUARVEL_NOT_HERE(CreatePixelShader, const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11PixelShader**)
    QUARVEL_NOT_HERE(CreateHullShader, const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11HullShader**)
    QUARVEL_NOT_HERE(CreateDomainShader, const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11DomainShader**)
    QUARVEL_NOT_HERE(CreateComputeShader, const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11ComputeShader**)
    QUARVEL_NOT_HERE(CreateClassLinkage, ID3D11ClassLinkage**)
    QUARVEL_NOT_HERE(CreateBlendState, const D3D11_BLEND_DESC*, ID3D11BlendState**)
    QUARVEL_NOT_HERE(CreateDepthStencilState, const D3D11_DEPTH_STENCIL_DESC*, ID3D11DepthStencilState**)
    QUARVEL_NOT_HERE(CreateRasterizerState, const D3D11_RASTERIZER_DESC*, ID3D11RasterizerState**)
    QUARVEL_NOT_HERE(CreateSamplerState, const D3D11_SAMPLER_DESC*, ID3D11SamplerState**)
    QUARVEL_NOT_HERE(CreateQuery, const D3D11_QUERY_DESC*, ID3D11Query**)
    QUARVEL_NOT_HERE(CreatePredicate, const D3D11_QUERY_DESC*, ID3D11Predicate**)
    QUARVEL_NOT_HERE(CreateCounter, const D3D11_COUNTER_DESC*, ID3D11Counter**)
    QUARVEL_NOT_HERE(CreateDeferredContext, UINT, ID3D11DeviceContext**)
    QUARVEL_NOT_HERE(OpenSharedResource, HANDLE, REFIID, void**)
    QUARVEL_NOT_HERE(CheckFormatSupport, DXGI_FORMAT, UINT*)
    QUARVEL_NOT_HERE(CheckMultisampleQualityLevels, DXGI_FORMAT, UINT, UINT*)
    void STDMETHODCALLTYPE CheckCounterInfo(D3D11_COUNTER_INFO*) override {}
    QUARVEL_NOT_HERE(CheckCounter, const D3D11_COUNTER_DESC*, D3D11_COUNTER_TYPE*, UINT*, LPSTR, UINT*, LPSTR, UINT*,
                     LPSTR, UINT*)
    QUARVEL_NOT_HERE(CheckFeatureSupport, D3D11_FEATURE, void*, UINT)
    QUARVEL_NOT_HERE(GetPrivateData, REFGUID, UINT*, void*)
    QUARVEL_NOT_HERE(SetPrivateData, REFGUID, UINT, const void*)
    QUARVEL_NOT_HERE(SetPrivateDataInterface, REFGUID, const IUnknown*)
    D3D_FEATURE_LEVEL STDMETHODCALLTYPE GetFeatureLevel() override { return D3D_FEATURE_LEVEL_11_0; }
    UINT STDMETHODCALLTYPE GetCreationFlags() override { return 0; }
    HRESULT STDMETHODCALLTYPE GetDeviceRemovedReason() override { return S_OK; }
    void STDMETHODCALLTYPE GetImmediateContext(ID3D11DeviceContext** context) override {
        if (context) *context = nullptr;
    }
    QUARVEL_NOT_HERE(SetExceptionMode, UINT)
    UINT STDMETHODCALLTYPE GetExceptionMode() override { return 0; }

private:
    ULONG references_ = 1;
};

#undef QUARVEL_NOT_HERE

}  // namespace

ID3D11Device* CreateCheckingDevice() { return new CheckingDevice; }

int LiveObjects() { return liveObjects; }

}  // namespace fuzz
