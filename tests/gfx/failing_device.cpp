#include "failing_device.h"

namespace gfx_test {
namespace {

int creationCalls = 0;

class FailingDevice final : public ID3D11Device {
public:
    FailingDevice(ID3D11Device* real, int failAt) : real(real), failAt(failAt) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return real->QueryInterface(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return real->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override {
        ID3D11Device* device = real;
        const ULONG left = device->Release();
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE CreateBuffer(const D3D11_BUFFER_DESC* d, const D3D11_SUBRESOURCE_DATA* i,
                                           ID3D11Buffer** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateBuffer(d, i, o);
    }
    HRESULT STDMETHODCALLTYPE CreateTexture1D(const D3D11_TEXTURE1D_DESC* d, const D3D11_SUBRESOURCE_DATA* i,
                                              ID3D11Texture1D** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateTexture1D(d, i, o);
    }
    HRESULT STDMETHODCALLTYPE CreateTexture2D(const D3D11_TEXTURE2D_DESC* d, const D3D11_SUBRESOURCE_DATA* i,
                                              ID3D11Texture2D** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateTexture2D(d, i, o);
    }
    HRESULT STDMETHODCALLTYPE CreateTexture3D(const D3D11_TEXTURE3D_DESC* d, const D3D11_SUBRESOURCE_DATA* i,
                                              ID3D11Texture3D** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateTexture3D(d, i, o);
    }
    HRESULT STDMETHODCALLTYPE CreateShaderResourceView(ID3D11Resource* r, const D3D11_SHADER_RESOURCE_VIEW_DESC* d,
                                                       ID3D11ShaderResourceView** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateShaderResourceView(r, d, o);
    }
    HRESULT STDMETHODCALLTYPE CreateUnorderedAccessView(ID3D11Resource* r, const D3D11_UNORDERED_ACCESS_VIEW_DESC* d,
                                                        ID3D11UnorderedAccessView** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateUnorderedAccessView(r, d, o);
    }
    HRESULT STDMETHODCALLTYPE CreateRenderTargetView(ID3D11Resource* r, const D3D11_RENDER_TARGET_VIEW_DESC* d,
                                                     ID3D11RenderTargetView** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateRenderTargetView(r, d, o);
    }
    HRESULT STDMETHODCALLTYPE CreateDepthStencilView(ID3D11Resource* r, const D3D11_DEPTH_STENCIL_VIEW_DESC* d,
                                                     ID3D11DepthStencilView** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateDepthStencilView(r, d, o);
    }
    HRESULT STDMETHODCALLTYPE CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC* e, UINT n, const void* c, SIZE_T s,
                                                ID3D11InputLayout** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateInputLayout(e, n, c, s, o);
    }
    HRESULT STDMETHODCALLTYPE CreateVertexShader(const void* c, SIZE_T s, ID3D11ClassLinkage* l,
                                                 ID3D11VertexShader** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateVertexShader(c, s, l, o);
    }
    HRESULT STDMETHODCALLTYPE CreateGeometryShader(const void* c, SIZE_T s, ID3D11ClassLinkage* l,
                                                   ID3D11GeometryShader** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateGeometryShader(c, s, l, o);
    }
    HRESULT STDMETHODCALLTYPE CreateGeometryShaderWithStreamOutput(const void* c, SIZE_T s,
                                                                   const D3D11_SO_DECLARATION_ENTRY* e, UINT n,
                                                                   const UINT* st, UINT ns, UINT r,
                                                                   ID3D11ClassLinkage* l,
                                                                   ID3D11GeometryShader** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateGeometryShaderWithStreamOutput(c, s, e, n, st, ns, r, l, o);
    }
    HRESULT STDMETHODCALLTYPE CreatePixelShader(const void* c, SIZE_T s, ID3D11ClassLinkage* l,
                                                ID3D11PixelShader** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreatePixelShader(c, s, l, o);
    }
    HRESULT STDMETHODCALLTYPE CreateHullShader(const void* c, SIZE_T s, ID3D11ClassLinkage* l,
                                               ID3D11HullShader** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateHullShader(c, s, l, o);
    }
    HRESULT STDMETHODCALLTYPE CreateDomainShader(const void* c, SIZE_T s, ID3D11ClassLinkage* l,
                                                 ID3D11DomainShader** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateDomainShader(c, s, l, o);
    }
    HRESULT STDMETHODCALLTYPE CreateComputeShader(const void* c, SIZE_T s, ID3D11ClassLinkage* l,
                                                  ID3D11ComputeShader** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateComputeShader(c, s, l, o);
    }
    HRESULT STDMETHODCALLTYPE CreateClassLinkage(ID3D11ClassLinkage** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateClassLinkage(o);
    }
    HRESULT STDMETHODCALLTYPE CreateBlendState(const D3D11_BLEND_DESC* d, ID3D11BlendState** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateBlendState(d, o);
    }
    HRESULT STDMETHODCALLTYPE CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC* d,
                                                      ID3D11DepthStencilState** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateDepthStencilState(d, o);
    }
    HRESULT STDMETHODCALLTYPE CreateRasterizerState(const D3D11_RASTERIZER_DESC* d,
                                                    ID3D11RasterizerState** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateRasterizerState(d, o);
    }
    HRESULT STDMETHODCALLTYPE CreateSamplerState(const D3D11_SAMPLER_DESC* d, ID3D11SamplerState** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateSamplerState(d, o);
    }
    HRESULT STDMETHODCALLTYPE CreateQuery(const D3D11_QUERY_DESC* d, ID3D11Query** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateQuery(d, o);
    }
    HRESULT STDMETHODCALLTYPE CreatePredicate(const D3D11_QUERY_DESC* d, ID3D11Predicate** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreatePredicate(d, o);
    }
    HRESULT STDMETHODCALLTYPE CreateCounter(const D3D11_COUNTER_DESC* d, ID3D11Counter** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateCounter(d, o);
    }
    HRESULT STDMETHODCALLTYPE CreateDeferredContext(UINT f, ID3D11DeviceContext** o) override {
        return Injected(o) ? E_OUTOFMEMORY : real->CreateDeferredContext(f, o);
    }
    HRESULT STDMETHODCALLTYPE OpenSharedResource(HANDLE h, REFIID riid, void** o) override {
        return real->OpenSharedResource(h, riid, o);
    }
    HRESULT STDMETHODCALLTYPE CheckFormatSupport(DXGI_FORMAT f, UINT* s) override {
        return real->CheckFormatSupport(f, s);
    }
    HRESULT STDMETHODCALLTYPE CheckMultisampleQualityLevels(DXGI_FORMAT f, UINT c, UINT* n) override {
        return real->CheckMultisampleQualityLevels(f, c, n);
    }
    void STDMETHODCALLTYPE CheckCounterInfo(D3D11_COUNTER_INFO* i) override { real->CheckCounterInfo(i); }
    HRESULT STDMETHODCALLTYPE CheckCounter(const D3D11_COUNTER_DESC* d, D3D11_COUNTER_TYPE* t, UINT* a, LPSTR n,
                                           UINT* nl, LPSTR u, UINT* ul, LPSTR de, UINT* dl) override {
        return real->CheckCounter(d, t, a, n, nl, u, ul, de, dl);
    }
    HRESULT STDMETHODCALLTYPE CheckFeatureSupport(D3D11_FEATURE f, void* d, UINT s) override {
        return real->CheckFeatureSupport(f, d, s);
    }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID g, UINT* s, void* d) override {
        return real->GetPrivateData(g, s, d);
    }
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID g, UINT s, const void* d) override {
        return real->SetPrivateData(g, s, d);
    }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID g, const IUnknown* d) override {
        return real->SetPrivateDataInterface(g, d);
    }
    D3D_FEATURE_LEVEL STDMETHODCALLTYPE GetFeatureLevel() override { return real->GetFeatureLevel(); }
    UINT STDMETHODCALLTYPE GetCreationFlags() override { return real->GetCreationFlags(); }
    HRESULT STDMETHODCALLTYPE GetDeviceRemovedReason() override { return real->GetDeviceRemovedReason(); }
    void STDMETHODCALLTYPE GetImmediateContext(ID3D11DeviceContext** c) override { real->GetImmediateContext(c); }
    HRESULT STDMETHODCALLTYPE SetExceptionMode(UINT f) override { return real->SetExceptionMode(f); }
    UINT STDMETHODCALLTYPE GetExceptionMode() override { return real->GetExceptionMode(); }

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
