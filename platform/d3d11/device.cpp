#include "device.h"

#include <atomic>
#include <cstring>
#include <new>
#include <typeinfo>
#include <vector>

#include "blend_state.h"
#include "buffer.h"
#include "context.h"
#include "depth_stencil_state.h"
#include "depth_stencil_view.h"
#include "input_layout.h"
#include "live_objects.h"
#include "log.h"
#include "rasterizer_state.h"
#include "render_target_view.h"
#include "sampler_state.h"
#include "shader.h"
#include "shader_resource_view.h"
#include "texture2d.h"

namespace quarvel::d3d11 {

void DeviceAddRef(Device* device) { device->AddRef(); }
void DeviceRelease(Device* device) { device->Release(); }
ID3D11Device* DeviceInterface(Device* device) { return device; }

uint64_t NextObjectId() {
    static std::atomic<uint64_t> next{1};
    return next++;
}

HRESULT Device::Create(SDL_Window* window, D3D_FEATURE_LEVEL level, UINT flags, Device** out, std::string& error) {
    *out = nullptr;
    auto* device = new (std::nothrow) Device();
    if (!device) return E_OUTOFMEMORY;
    ObjectCreated(typeid(ID3D11Device).name());
    device->featureLevel_ = level;
    device->creationFlags_ = flags;
    if (!device->glContext_.Create(window, error)) {
        delete device;
        return E_FAIL;
    }
    device->glReady_ = true;
    if (!device->InitGl(error)) {
        delete device;
        return E_FAIL;
    }
    *out = device;
    return S_OK;
}

bool Device::InitGl(std::string& error) {
    MakeCurrent();
    gl_.Reset();
    programs_.SetState(&gl_);
    framebuffers_.SetState(&gl_);
    // A core profile draws nothing without a vertex array object; one serves the device's life.
    glCreateVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);

    const uint8_t zeros[6 * 4] = {};
    glCreateTextures(GL_TEXTURE_2D, 1, &zeroTexture2D_);
    glTextureStorage2D(zeroTexture2D_, 1, GL_RGBA8, 1, 1);
    glTextureSubImage2D(zeroTexture2D_, 0, 0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, zeros);
    glCreateTextures(GL_TEXTURE_CUBE_MAP, 1, &zeroTextureCube_);
    glTextureStorage2D(zeroTextureCube_, 1, GL_RGBA8, 1, 1);
    glTextureSubImage3D(zeroTextureCube_, 0, 0, 0, 0, 1, 1, 6, GL_RGBA, GL_UNSIGNED_BYTE, zeros);
    glCreateTextures(GL_TEXTURE_2D_ARRAY, 1, &zeroTexture2DArray_);
    glTextureStorage3D(zeroTexture2DArray_, 1, GL_RGBA8, 1, 1, 1);
    glTextureSubImage3D(zeroTexture2DArray_, 0, 0, 0, 0, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, zeros);

    defaultSampler_ = SamplerState::MakeGlSampler(SamplerState::Default());
    std::vector<uint8_t> zeroBlock(kZeroUniformBufferSize, 0);
    glCreateBuffers(1, &zeroUniformBuffer_);
    glNamedBufferStorage(zeroUniformBuffer_, kZeroUniformBufferSize, zeroBlock.data(), 0);
    stream_.Init();

    context_ = new (std::nothrow) Context(this);
    if (!context_) {
        error = "out of memory";
        return false;
    }
    context_->InitGl();
    if (glGetError() != GL_NO_ERROR) {
        error = "the GL context refused the device's set-up";
        return false;
    }
    return true;
}

Device::~Device() {
    if (!glReady_) {
        ObjectDestroyed(typeid(ID3D11Device).name(), true);
        return;
    }
    MakeCurrent();
    if (context_) context_->ReleaseBindings();  // objects only the context held die here
    programs_.Clear();
    framebuffers_.Clear();
    if (vertexArray_) glDeleteVertexArrays(1, &vertexArray_);
    const GLuint textures[] = {zeroTexture2D_, zeroTextureCube_, zeroTexture2DArray_};
    glDeleteTextures(3, textures);
    if (defaultSampler_) glDeleteSamplers(1, &defaultSampler_);
    if (zeroUniformBuffer_) glDeleteBuffers(1, &zeroUniformBuffer_);
    delete context_;
    stream_.Release();  // after the buffers that kept slices in it
    ObjectDestroyed(typeid(ID3D11Device).name(), true);
}

GLuint Device::ZeroTexture(GLenum target) const {
    switch (target) {
        case GL_TEXTURE_CUBE_MAP: return zeroTextureCube_;
        case GL_TEXTURE_2D_ARRAY: return zeroTexture2DArray_;
        default: return zeroTexture2D_;
    }
}

uint32_t Device::InternBlockLayout(const hlsl::ConstantBlock& block) {
    std::string key(reinterpret_cast<const char*>(&block.glSize), sizeof block.glSize);
    for (const hlsl::CopyRange& r : block.repack) key.append(reinterpret_cast<const char*>(&r), sizeof r);
    auto it = blockLayouts_.find(key);
    if (it != blockLayouts_.end()) return it->second;
    const uint32_t id = static_cast<uint32_t>(blockLayouts_.size()) + 1;
    blockLayouts_[key] = id;
    return id;
}

// --- IUnknown ---

HRESULT Device::QueryInterface(REFIID riid, void** object) {
    return QueryInterfaceFor<ID3D11Device, IUnknown>(this, riid, object);
}

ULONG Device::AddRef() { return ++refs_; }

ULONG Device::Release() {
    const ULONG count = --refs_;
    if (count == 0) delete this;
    return count;
}

// --- creation of device children ---

HRESULT Device::CreateBuffer(const D3D11_BUFFER_DESC* desc, const D3D11_SUBRESOURCE_DATA* data, ID3D11Buffer** out) {
    return Buffer::Create(this, desc, data, out);
}

HRESULT Device::CreateTexture1D(const D3D11_TEXTURE1D_DESC*, const D3D11_SUBRESOURCE_DATA*, ID3D11Texture1D** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreateTexture1D", "1D textures");
    return E_NOTIMPL;
}

HRESULT Device::CreateTexture2D(const D3D11_TEXTURE2D_DESC* desc, const D3D11_SUBRESOURCE_DATA* data,
                                ID3D11Texture2D** out) {
    return Texture2D::Create(this, desc, data, out);
}

HRESULT Device::CreateTexture3D(const D3D11_TEXTURE3D_DESC*, const D3D11_SUBRESOURCE_DATA*, ID3D11Texture3D** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreateTexture3D", "3D textures");
    return E_NOTIMPL;
}

HRESULT Device::CreateShaderResourceView(ID3D11Resource* resource, const D3D11_SHADER_RESOURCE_VIEW_DESC* desc,
                                         ID3D11ShaderResourceView** out) {
    return ShaderResourceView::Create(this, resource, desc, out);
}

HRESULT Device::CreateUnorderedAccessView(ID3D11Resource*, const D3D11_UNORDERED_ACCESS_VIEW_DESC*,
                                          ID3D11UnorderedAccessView** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreateUnorderedAccessView", "unordered-access views");
    return E_NOTIMPL;
}

HRESULT Device::CreateRenderTargetView(ID3D11Resource* resource, const D3D11_RENDER_TARGET_VIEW_DESC* desc,
                                       ID3D11RenderTargetView** out) {
    return RenderTargetView::Create(this, resource, desc, out);
}

HRESULT Device::CreateDepthStencilView(ID3D11Resource* resource, const D3D11_DEPTH_STENCIL_VIEW_DESC* desc,
                                       ID3D11DepthStencilView** out) {
    return DepthStencilView::Create(this, resource, desc, out);
}

HRESULT Device::CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC* elements, UINT count, const void* bytecode,
                                  SIZE_T length, ID3D11InputLayout** out) {
    return InputLayout::Create(this, elements, count, bytecode, length, out);
}

HRESULT Device::CreateVertexShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                                   ID3D11VertexShader** out) {
    return VertexShader::Create(this, bytecode, length, linkage, out);
}

HRESULT Device::CreatePixelShader(const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                                  ID3D11PixelShader** out) {
    return PixelShader::Create(this, bytecode, length, linkage, out);
}

HRESULT Device::CreateGeometryShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11GeometryShader** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreateGeometryShader", "geometry shaders");
    return E_NOTIMPL;
}

HRESULT Device::CreateGeometryShaderWithStreamOutput(const void*, SIZE_T, const D3D11_SO_DECLARATION_ENTRY*, UINT,
                                                     const UINT*, UINT, UINT, ID3D11ClassLinkage*,
                                                     ID3D11GeometryShader** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreateGeometryShaderWithStreamOutput", "geometry shaders and stream output");
    return E_NOTIMPL;
}

HRESULT Device::CreateHullShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11HullShader** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreateHullShader", "hull shaders");
    return E_NOTIMPL;
}

HRESULT Device::CreateDomainShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11DomainShader** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreateDomainShader", "domain shaders");
    return E_NOTIMPL;
}

HRESULT Device::CreateComputeShader(const void*, SIZE_T, ID3D11ClassLinkage*, ID3D11ComputeShader** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreateComputeShader", "compute shaders");
    return E_NOTIMPL;
}

HRESULT Device::CreateClassLinkage(ID3D11ClassLinkage** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreateClassLinkage", "class linkage");
    return E_NOTIMPL;
}

HRESULT Device::CreateBlendState(const D3D11_BLEND_DESC* desc, ID3D11BlendState** out) {
    return BlendState::Create(this, desc, out);
}

HRESULT Device::CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC* desc, ID3D11DepthStencilState** out) {
    return DepthStencilState::Create(this, desc, out);
}

HRESULT Device::CreateRasterizerState(const D3D11_RASTERIZER_DESC* desc, ID3D11RasterizerState** out) {
    return RasterizerState::Create(this, desc, out);
}

HRESULT Device::CreateSamplerState(const D3D11_SAMPLER_DESC* desc, ID3D11SamplerState** out) {
    return SamplerState::Create(this, desc, out);
}

HRESULT Device::CreateQuery(const D3D11_QUERY_DESC*, ID3D11Query** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreateQuery", "queries");
    return E_NOTIMPL;
}

HRESULT Device::CreatePredicate(const D3D11_QUERY_DESC*, ID3D11Predicate** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreatePredicate", "predicates");
    return E_NOTIMPL;
}

HRESULT Device::CreateCounter(const D3D11_COUNTER_DESC*, ID3D11Counter** out) {
    if (out) *out = nullptr;
    return DXGI_ERROR_UNSUPPORTED;  // Direct3D's answer when a device has no such counters
}

HRESULT Device::CreateDeferredContext(UINT, ID3D11DeviceContext** out) {
    if (out) *out = nullptr;
    LogUnsupported("CreateDeferredContext", "deferred contexts");
    return E_NOTIMPL;
}

HRESULT Device::OpenSharedResource(HANDLE, REFIID, void** out) {
    if (out) *out = nullptr;
    LogUnsupported("OpenSharedResource", "shared resources");
    return E_NOTIMPL;
}

// --- capabilities ---

HRESULT Device::CheckFormatSupport(DXGI_FORMAT format, UINT* support) {
    if (!support) return E_INVALIDARG;
    *support = 0;
    const FormatInfo* f = GetFormatInfo(format);
    if (!f) return E_FAIL;  // Direct3D's answer for a format the device cannot use at all
    UINT s = 0;
    if (f->internalFormat && (f->Has(kFormatColor) || f->Has(kFormatDepth) || f->Has(kFormatTypeless)))
        s |= D3D11_FORMAT_SUPPORT_TEXTURE2D | D3D11_FORMAT_SUPPORT_CPU_LOCKABLE | D3D11_FORMAT_SUPPORT_MIP;
    if (f->Has(kFormatSampled) && !f->Has(kFormatTypeless))
        s |= D3D11_FORMAT_SUPPORT_SHADER_LOAD | D3D11_FORMAT_SUPPORT_TEXTURECUBE |
             (f->IsInteger() ? 0 : D3D11_FORMAT_SUPPORT_SHADER_SAMPLE);
    if (f->Has(kFormatRenderTarget)) s |= D3D11_FORMAT_SUPPORT_RENDER_TARGET | D3D11_FORMAT_SUPPORT_MIP_AUTOGEN;
    if (f->Has(kFormatBlendable)) s |= D3D11_FORMAT_SUPPORT_BLENDABLE;
    if (f->Has(kFormatDepth)) s |= D3D11_FORMAT_SUPPORT_DEPTH_STENCIL;
    if (f->Has(kFormatDisplay)) s |= D3D11_FORMAT_SUPPORT_DISPLAY;
    if (f->vertexSize) s |= D3D11_FORMAT_SUPPORT_IA_VERTEX_BUFFER | D3D11_FORMAT_SUPPORT_BUFFER;
    if (f->Has(kFormatIndex)) s |= D3D11_FORMAT_SUPPORT_IA_INDEX_BUFFER;
    *support = s;
    return S_OK;
}

HRESULT Device::CheckMultisampleQualityLevels(DXGI_FORMAT format, UINT sampleCount, UINT* levels) {
    if (!levels) return E_INVALIDARG;
    *levels = 0;
    if (!GetFormatInfo(format)) return E_INVALIDARG;
    if (sampleCount == 1) *levels = 1;  // multisampling is not implemented: only one sample
    return S_OK;
}

void Device::CheckCounterInfo(D3D11_COUNTER_INFO* info) {
    if (info) *info = {};
}

HRESULT Device::CheckCounter(const D3D11_COUNTER_DESC*, D3D11_COUNTER_TYPE*, UINT*, LPSTR, UINT*, LPSTR, UINT*, LPSTR,
                             UINT*) {
    return E_INVALIDARG;  // there are no device-dependent counters
}

HRESULT Device::CheckFeatureSupport(D3D11_FEATURE feature, void* data, UINT size) {
    if (!data) return E_INVALIDARG;
    switch (feature) {
        case D3D11_FEATURE_THREADING:
            if (size != sizeof(D3D11_FEATURE_DATA_THREADING)) return E_INVALIDARG;
            *static_cast<D3D11_FEATURE_DATA_THREADING*>(data) = {FALSE, FALSE};
            return S_OK;
        case D3D11_FEATURE_DOUBLES:
            if (size != sizeof(D3D11_FEATURE_DATA_DOUBLES)) return E_INVALIDARG;
            static_cast<D3D11_FEATURE_DATA_DOUBLES*>(data)->DoublePrecisionFloatShaderOps = FALSE;
            return S_OK;
        case D3D11_FEATURE_FORMAT_SUPPORT: {
            if (size != sizeof(D3D11_FEATURE_DATA_FORMAT_SUPPORT)) return E_INVALIDARG;
            auto* d = static_cast<D3D11_FEATURE_DATA_FORMAT_SUPPORT*>(data);
            return CheckFormatSupport(d->InFormat, &d->OutFormatSupport);
        }
        default:
            LogUnsupported("CheckFeatureSupport", "features other than threading, doubles and format support");
            return E_INVALIDARG;
    }
}

HRESULT Device::GetPrivateData(REFGUID guid, UINT* size, void* data) { return privateData_.Get(guid, size, data); }
HRESULT Device::SetPrivateData(REFGUID guid, UINT size, const void* data) {
    return privateData_.Set(guid, size, data);
}
HRESULT Device::SetPrivateDataInterface(REFGUID guid, const IUnknown* object) {
    return privateData_.SetInterface(guid, object);
}

void Device::GetImmediateContext(ID3D11DeviceContext** out) {
    if (!out) return;
    *out = context_;
    context_->AddRef();
}

HRESULT Device::SetExceptionMode(UINT flags) {
    exceptionMode_ = flags;
    return S_OK;
}

}  // namespace quarvel::d3d11
