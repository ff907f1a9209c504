// ID3D11Device on one GL 4.5 core context. The device owns the context, the immediate
// context object, the GL objects every draw may need (zero textures for null views, the
// default sampler, a zero uniform buffer for unbound constant buffers, the one vertex array
// object), the program and framebuffer caches, and the caches that make identical state
// descriptions return the same object.
#pragma once

#include <d3d11.h>

#include <atomic>
#include <map>
#include <string>

#include "framebuffer_cache.h"
#include "gl.h"
#include "gl_context.h"
#include "gl_state.h"
#include "private_data.h"
#include "program_cache.h"
#include "stream_ring.h"

namespace quarvel::hlsl {
struct ConstantBlock;
}

namespace quarvel::d3d11 {

class Context;
class BlendState;
class DepthStencilState;
class RasterizerState;
class SamplerState;

class Device final : public ID3D11Device {
public:
    // `window` null gives the device a hidden window of its own. On failure returns the
    // HRESULT and explains in `error`.
    static HRESULT Create(SDL_Window* window, D3D_FEATURE_LEVEL level, UINT flags, Device** out, std::string& error);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ID3D11Device
    HRESULT STDMETHODCALLTYPE CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                                           ID3D11Buffer** out) override;
    HRESULT STDMETHODCALLTYPE CreateTexture1D(const D3D11_TEXTURE1D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                                              ID3D11Texture1D** out) override;
    HRESULT STDMETHODCALLTYPE CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                                              ID3D11Texture2D** out) override;
    HRESULT STDMETHODCALLTYPE CreateTexture3D(const D3D11_TEXTURE3D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                                              ID3D11Texture3D** out) override;
    HRESULT STDMETHODCALLTYPE CreateShaderResourceView(ID3D11Resource* resource,
                                                       const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                                       ID3D11ShaderResourceView** out) override;
    HRESULT STDMETHODCALLTYPE CreateUnorderedAccessView(ID3D11Resource* resource,
                                                        const D3D11_UNORDERED_ACCESS_VIEW_DESC* desc,
                                                        ID3D11UnorderedAccessView** out) override;
    HRESULT STDMETHODCALLTYPE CreateRenderTargetView(ID3D11Resource* resource,
                                                     const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                                                     ID3D11RenderTargetView** out) override;
    HRESULT STDMETHODCALLTYPE CreateDepthStencilView(ID3D11Resource* resource,
                                                     const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                                                     ID3D11DepthStencilView** out) override;
    HRESULT STDMETHODCALLTYPE CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC* elements, UINT count,
                                                const void* bytecode, SIZE_T length,
                                                ID3D11InputLayout** out) override;
    HRESULT STDMETHODCALLTYPE CreateVertexShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                                                 ID3D11VertexShader** out) override;
    HRESULT STDMETHODCALLTYPE CreateGeometryShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                                                   ID3D11GeometryShader** out) override;
    HRESULT STDMETHODCALLTYPE CreateGeometryShaderWithStreamOutput(const void* bytecode, SIZE_T length,
                                                                   const D3D11_SO_DECLARATION_ENTRY* declaration,
                                                                   UINT entries, const UINT* strides, UINT numStrides,
                                                                   UINT rasterizedStream, ID3D11ClassLinkage* linkage,
                                                                   ID3D11GeometryShader** out) override;
    HRESULT STDMETHODCALLTYPE CreatePixelShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                                                ID3D11PixelShader** out) override;
    HRESULT STDMETHODCALLTYPE CreateHullShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                                               ID3D11HullShader** out) override;
    HRESULT STDMETHODCALLTYPE CreateDomainShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                                                 ID3D11DomainShader** out) override;
    HRESULT STDMETHODCALLTYPE CreateComputeShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                                                  ID3D11ComputeShader** out) override;
    HRESULT STDMETHODCALLTYPE CreateClassLinkage(ID3D11ClassLinkage** out) override;
    HRESULT STDMETHODCALLTYPE CreateBlendState(const D3D11_BLEND_DESC* desc, ID3D11BlendState** out) override;
    HRESULT STDMETHODCALLTYPE CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC* desc,
                                                      ID3D11DepthStencilState** out) override;
    HRESULT STDMETHODCALLTYPE CreateRasterizerState(const D3D11_RASTERIZER_DESC* desc,
                                                    ID3D11RasterizerState** out) override;
    HRESULT STDMETHODCALLTYPE CreateSamplerState(const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** out) override;
    HRESULT STDMETHODCALLTYPE CreateQuery(const D3D11_QUERY_DESC* desc, ID3D11Query** out) override;
    HRESULT STDMETHODCALLTYPE CreatePredicate(const D3D11_QUERY_DESC* desc, ID3D11Predicate** out) override;
    HRESULT STDMETHODCALLTYPE CreateCounter(const D3D11_COUNTER_DESC* desc, ID3D11Counter** out) override;
    HRESULT STDMETHODCALLTYPE CreateDeferredContext(UINT flags, ID3D11DeviceContext** out) override;
    HRESULT STDMETHODCALLTYPE OpenSharedResource(HANDLE resource, REFIID riid, void** out) override;
    HRESULT STDMETHODCALLTYPE CheckFormatSupport(DXGI_FORMAT format, UINT* support) override;
    HRESULT STDMETHODCALLTYPE CheckMultisampleQualityLevels(DXGI_FORMAT format, UINT sampleCount,
                                                            UINT* levels) override;
    void STDMETHODCALLTYPE CheckCounterInfo(D3D11_COUNTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE CheckCounter(const D3D11_COUNTER_DESC* desc, D3D11_COUNTER_TYPE* type,
                                           UINT* activeCounters, LPSTR name, UINT* nameLength, LPSTR units,
                                           UINT* unitsLength, LPSTR description, UINT* descriptionLength) override;
    HRESULT STDMETHODCALLTYPE CheckFeatureSupport(D3D11_FEATURE feature, void* data, UINT size) override;
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID guid, UINT* size, void* data) override;
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID guid, UINT size, const void* data) override;
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID guid, const IUnknown* object) override;
    D3D_FEATURE_LEVEL STDMETHODCALLTYPE GetFeatureLevel() override { return featureLevel_; }
    UINT STDMETHODCALLTYPE GetCreationFlags() override { return creationFlags_; }
    HRESULT STDMETHODCALLTYPE GetDeviceRemovedReason() override { return S_OK; }
    void STDMETHODCALLTYPE GetImmediateContext(ID3D11DeviceContext** out) override;
    HRESULT STDMETHODCALLTYPE SetExceptionMode(UINT flags) override;
    UINT STDMETHODCALLTYPE GetExceptionMode() override { return exceptionMode_; }

    // --- for the objects of this device ---
    void MakeCurrent() { glContext_.MakeCurrent(); }
    GlState& Gl() { return gl_; }
    Context& ImmediateContext() { return *context_; }
    SDL_Window* Window() const { return glContext_.Window(); }
    ProgramCache& Programs() { return programs_; }
    FramebufferCache& Framebuffers() { return framebuffers_; }

    GLuint VertexArray() const { return vertexArray_; }
    GLuint ZeroTexture(GLenum target) const;
    GLuint DefaultSampler() const { return defaultSampler_; }
    GLuint ZeroUniformBuffer() const { return zeroUniformBuffer_; }
    // Where discarding maps and changed constant blocks take their storage.
    StreamRing& Stream() { return stream_; }
    static constexpr GLsizeiptr kZeroUniformBufferSize = 65536;

    // A small integer naming a constant block's std140 layout and repack table; buffers
    // cache one repacked copy per layout.
    uint32_t InternBlockLayout(const hlsl::ConstantBlock& block);

    // Identical descriptions give the same state object: the caches hold raw pointers that
    // each state removes when it is destroyed. Keys are the normalized description bytes.
    struct StateCaches {
        std::map<std::string, BlendState*> blend;
        std::map<std::string, DepthStencilState*> depthStencil;
        std::map<std::string, RasterizerState*> rasterizer;
        std::map<std::string, SamplerState*> sampler;
    };
    StateCaches& States() { return states_; }

private:
    Device() = default;
    ~Device();
    bool InitGl(std::string& error);

    std::atomic<ULONG> refs_{1};
    GlContext glContext_;
    bool glReady_ = false;
    GlState gl_;
    Context* context_ = nullptr;
    D3D_FEATURE_LEVEL featureLevel_ = D3D_FEATURE_LEVEL_11_0;
    UINT creationFlags_ = 0;
    UINT exceptionMode_ = 0;
    PrivateData privateData_;

    StreamRing stream_;
    GLuint vertexArray_ = 0;
    GLuint zeroTexture2D_ = 0, zeroTextureCube_ = 0, zeroTexture2DArray_ = 0;
    GLuint defaultSampler_ = 0;
    GLuint zeroUniformBuffer_ = 0;

    ProgramCache programs_;
    FramebufferCache framebuffers_;
    std::map<std::string, uint32_t> blockLayouts_;

    StateCaches states_;
};

}  // namespace quarvel::d3d11
