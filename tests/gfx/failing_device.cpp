#include "failing_device.h"

namespace gfx_test {
namespace {

int creationCalls = 0;

// Each creation call counts, and the one numbered failAt fails as a driver out of memory
// would; every other call goes to the real device unchanged.
#define QUARVEL_CREATE(name, params, args, out) \
    HRESULT STDMETHODCALLTYPE name params override { return Injected(out) ? E_OUTOFMEMORY : real->name args; }
#define QUARVEL_FORWARD(type, name, params, args) \
    type STDMETHODCALLTYPE name params override { return real->name args; }

class FailingDevice final : public ID3D11Device {
public:
    FailingDevice(ID3D11Device* real, int failAt) : real(real), failAt(failAt) {}

    ULONG STDMETHODCALLTYPE Release() override {
        ID3D11Device* device = real;
        const ULONG left = device->Release();
        if (left == 0) delete this;
        return left;
    }
    QUARVEL_FORWARD(HRESULT, QueryInterface, (REFIID riid, void** o), (riid, o))
    QUARVEL_FORWARD(ULONG, AddRef, (), ())
    QUARVEL_CREATE(CreateBuffer, (const D3D11_BUFFER_DESC* d, const D3D11_SUBRESOURCE_DATA* i, ID3D11Buffer** o),
                   (d, i, o), o)
    QUARVEL_CREATE(CreateTexture1D,
                   (const D3D11_TEXTURE1D_DESC* d, const D3D11_SUBRESOURCE_DATA* i, ID3D11Texture1D** o), (d, i, o), o)
    QUARVEL_CREATE(CreateTexture2D,
                   (const D3D11_TEXTURE2D_DESC* d, const D3D11_SUBRESOURCE_DATA* i, ID3D11Texture2D** o), (d, i, o), o)
    QUARVEL_CREATE(CreateTexture3D,
                   (const D3D11_TEXTURE3D_DESC* d, const D3D11_SUBRESOURCE_DATA* i, ID3D11Texture3D** o), (d, i, o), o)
    QUARVEL_CREATE(CreateShaderResourceView,
                   (ID3D11Resource* r, const D3D11_SHADER_RESOURCE_VIEW_DESC* d, ID3D11ShaderResourceView** o),
                   (r, d, o), o)
    QUARVEL_CREATE(CreateUnorderedAccessView,
                   (ID3D11Resource* r, const D3D11_UNORDERED_ACCESS_VIEW_DESC* d, ID3D11UnorderedAccessView** o),
                   (r, d, o), o)
    QUARVEL_CREATE(CreateRenderTargetView,
                   (ID3D11Resource* r, const D3D11_RENDER_TARGET_VIEW_DESC* d, ID3D11RenderTargetView** o),
                   (r, d, o), o)
    QUARVEL_CREATE(CreateDepthStencilView,
                   (ID3D11Resource* r, const D3D11_DEPTH_STENCIL_VIEW_DESC* d, ID3D11DepthStencilView** o),
                   (r, d, o), o)
    QUARVEL_CREATE(CreateInputLayout,
                   (const D3D11_INPUT_ELEMENT_DESC* e, UINT n, const void* c, SIZE_T s, ID3D11InputLayout** o),
                   (e, n, c, s, o), o)
    QUARVEL_CREATE(CreateVertexShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11VertexShader** o),
                   (c, s, l, o), o)
    QUARVEL_CREATE(CreateGeometryShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11GeometryShader** o),
                   (c, s, l, o), o)
    QUARVEL_CREATE(CreateGeometryShaderWithStreamOutput,
                   (const void* c, SIZE_T s, const D3D11_SO_DECLARATION_ENTRY* e, UINT n, const UINT* st, UINT ns,
                    UINT r, ID3D11ClassLinkage* l, ID3D11GeometryShader** o),
                   (c, s, e, n, st, ns, r, l, o), o)
    QUARVEL_CREATE(CreatePixelShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11PixelShader** o),
                   (c, s, l, o), o)
    QUARVEL_CREATE(CreateHullShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11HullShader** o),
                   (c, s, l, o), o)
    QUARVEL_CREATE(CreateDomainShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11DomainShader** o),
                   (c, s, l, o), o)
    QUARVEL_CREATE(CreateComputeShader, (const void* c, SIZE_T s, ID3D11ClassLinkage* l, ID3D11ComputeShader** o),
                   (c, s, l, o), o)
    QUARVEL_CREATE(CreateClassLinkage, (ID3D11ClassLinkage** o), (o), o)
    QUARVEL_CREATE(CreateBlendState, (const D3D11_BLEND_DESC* d, ID3D11BlendState** o), (d, o), o)
    QUARVEL_CREATE(CreateDepthStencilState, (const D3D11_DEPTH_STENCIL_DESC* d, ID3D11DepthStencilState** o),
                   (d, o), o)
    QUARVEL_CREATE(CreateRasterizerState, (const D3D11_RASTERIZER_DESC* d, ID3D11RasterizerState** o), (d, o), o)
    QUARVEL_CREATE(CreateSamplerState, (const D3D11_SAMPLER_DESC* d, ID3D11SamplerState** o), (d, o), o)
    QUARVEL_CREATE(CreateQuery, (const D3D11_QUERY_DESC* d, ID3D11Query** o), (d, o), o)
    QUARVEL_CREATE(CreatePredicate, (const D3D11_QUERY_DESC* d, ID3D11Predicate** o), (d, o), o)
    QUARVEL_CREATE(CreateCounter, (const D3D11_COUNTER_DESC* d, ID3D11Counter** o), (d, o), o)
    QUARVEL_CREATE(CreateDeferredContext, (UINT f, ID3D11DeviceContext** o), (f, o), o)
    QUARVEL_FORWARD(HRESULT, OpenSharedResource, (HANDLE h, REFIID riid, void** o), (h, riid, o))
    QUARVEL_FORWARD(HRESULT, CheckFormatSupport, (DXGI_FORMAT f, UINT* s), (f, s))
    QUARVEL_FORWARD(HRESULT, CheckMultisampleQualityLevels, (DXGI_FORMAT f, UINT c, UINT* n), (f, c, n))
    QUARVEL_FORWARD(void, CheckCounterInfo, (D3D11_COUNTER_INFO * i), (i))
    QUARVEL_FORWARD(HRESULT, CheckCounter,
                    (const D3D11_COUNTER_DESC* d, D3D11_COUNTER_TYPE* t, UINT* a, LPSTR n, UINT* nl, LPSTR u,
                     UINT* ul, LPSTR de, UINT* dl),
                    (d, t, a, n, nl, u, ul, de, dl))
    QUARVEL_FORWARD(HRESULT, CheckFeatureSupport, (D3D11_FEATURE f, void* d, UINT s), (f, d, s))
    QUARVEL_FORWARD(HRESULT, GetPrivateData, (REFGUID g, UINT* s, void* d), (g, s, d))
    QUARVEL_FORWARD(HRESULT, SetPrivateData, (REFGUID g, UINT s, const void* d), (g, s, d))
    QUARVEL_FORWARD(HRESULT, SetPrivateDataInterface, (REFGUID g, const IUnknown* d), (g, d))
    QUARVEL_FORWARD(D3D_FEATURE_LEVEL, GetFeatureLevel, (), ())
    QUARVEL_FORWARD(UINT, GetCreationFlags, (), ())
    QUARVEL_FORWARD(HRESULT, GetDeviceRemovedReason, (), ())
    QUARVEL_FORWARD(void, GetImmediateContext, (ID3D11DeviceContext * *c), (c))
    QUARVEL_FORWARD(HRESULT, SetExceptionMode, (UINT f), (f))
    QUARVEL_FORWARD(UINT, GetExceptionMode, (), ())

private:
    template <typename T>
    bool Injected(T** out) {
        if (++creationCalls != failAt) return false;
        if (out) *out = nullptr;
        return true;
    }

    ID3D11Device* real;
    int failAt;
};

}  // namespace

ID3D11Device* WrapDevice(ID3D11Device* real, int failAt) {
    creationCalls = 0;
    return new FailingDevice(real, failAt);
}

int CreationCalls() { return creationCalls; }

}  // namespace gfx_test
