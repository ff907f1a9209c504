#include "context.h"

#include <algorithm>
#include <typeinfo>

#include "comparison.h"
#include "device.h"
#include "log.h"

namespace quarvel::d3d11 {
namespace {

GLenum GlBlend(D3D11_BLEND b, bool alpha) {
    switch (b) {
        case D3D11_BLEND_ZERO: return GL_ZERO;
        case D3D11_BLEND_ONE: return GL_ONE;
        case D3D11_BLEND_SRC_COLOR: return GL_SRC_COLOR;
        case D3D11_BLEND_INV_SRC_COLOR: return GL_ONE_MINUS_SRC_COLOR;
        case D3D11_BLEND_SRC_ALPHA: return GL_SRC_ALPHA;
        case D3D11_BLEND_INV_SRC_ALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case D3D11_BLEND_DEST_ALPHA: return GL_DST_ALPHA;
        case D3D11_BLEND_INV_DEST_ALPHA: return GL_ONE_MINUS_DST_ALPHA;
        case D3D11_BLEND_DEST_COLOR: return GL_DST_COLOR;
        case D3D11_BLEND_INV_DEST_COLOR: return GL_ONE_MINUS_DST_COLOR;
        case D3D11_BLEND_SRC_ALPHA_SAT: return GL_SRC_ALPHA_SATURATE;
        case D3D11_BLEND_BLEND_FACTOR: return alpha ? GL_CONSTANT_ALPHA : GL_CONSTANT_COLOR;
        case D3D11_BLEND_INV_BLEND_FACTOR: return alpha ? GL_ONE_MINUS_CONSTANT_ALPHA : GL_ONE_MINUS_CONSTANT_COLOR;
        case D3D11_BLEND_SRC1_COLOR: return GL_SRC1_COLOR;
        case D3D11_BLEND_INV_SRC1_COLOR: return GL_ONE_MINUS_SRC1_COLOR;
        case D3D11_BLEND_SRC1_ALPHA: return GL_SRC1_ALPHA;
        case D3D11_BLEND_INV_SRC1_ALPHA: return GL_ONE_MINUS_SRC1_ALPHA;
    }
    return GL_ONE;
}

GLenum GlBlendOp(D3D11_BLEND_OP op) {
    switch (op) {
        case D3D11_BLEND_OP_SUBTRACT: return GL_FUNC_SUBTRACT;
        case D3D11_BLEND_OP_REV_SUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
        case D3D11_BLEND_OP_MIN: return GL_MIN;
        case D3D11_BLEND_OP_MAX: return GL_MAX;
        default: return GL_FUNC_ADD;
    }
}

// Direct3D's INCR and DECR wrap; its _SAT forms saturate like GL's INCR and DECR.
GLenum GlStencilOp(D3D11_STENCIL_OP op) {
    switch (op) {
        case D3D11_STENCIL_OP_ZERO: return GL_ZERO;
        case D3D11_STENCIL_OP_REPLACE: return GL_REPLACE;
        case D3D11_STENCIL_OP_INCR_SAT: return GL_INCR;
        case D3D11_STENCIL_OP_DECR_SAT: return GL_DECR;
        case D3D11_STENCIL_OP_INVERT: return GL_INVERT;
        case D3D11_STENCIL_OP_INCR: return GL_INCR_WRAP;
        case D3D11_STENCIL_OP_DECR: return GL_DECR_WRAP;
        default: return GL_KEEP;
    }
}

template <typename T>
void Out(T** out, T* value) {
    if (!out) return;
    *out = value;
    if (value) value->AddRef();
}

bool SlotsValid(const char* function, UINT start, UINT count, int slots) {
    if (start + static_cast<uint64_t>(count) <= static_cast<uint64_t>(slots)) return true;
    LogInvalid(function, "slots %u+%u are outside the %d slots; the call is ignored", start, count, slots);
    return false;
}

}  // namespace

Context::Context(Device* device) : device_(device) { ObjectCreated(typeid(ID3D11DeviceContext).name()); }

Context::~Context() {
    ReleaseBindings();
    ObjectDestroyed(typeid(ID3D11DeviceContext).name(), true);
}

void Context::InitGl() {
    ApplyRasterizer();
    ApplyDepthStencil();
    ApplyBlend();
}

void Context::ReleaseBindings() {
    for (StageBindings& s : stages_) {
        for (auto& c : s.constants) c.Reset(nullptr);
        for (auto& v : s.views) v.Reset(nullptr);
        for (auto& m : s.samplers) m.Reset(nullptr);
        s.viewsUsed = 0;
    }
    vertexShader_.Reset(nullptr);
    pixelShader_.Reset(nullptr);
    inputLayout_.Reset(nullptr);
    for (VertexBinding& v : vertexBuffers_) v = {};
    indexBuffer_.Reset(nullptr);
    rasterizer_.Reset(nullptr);
    for (auto& t : renderTargets_) t.Reset(nullptr);
    depthView_.Reset(nullptr);
    blend_.Reset(nullptr);
    depthStencil_.Reset(nullptr);
    program_ = nullptr;
    attributes_ = nullptr;
    dirtyFramebuffer_ = dirtyProgram_ = dirtyAttributes_ = true;
}

void Context::ForgetGlBuffer(GLuint buffer) {
    // GL detaches a deleted buffer from the vertex array; a new one may reuse its name.
    for (BoundSlot& slot : boundSlots_)
        if (slot.buffer == buffer) slot = {};
    if (boundElementBuffer_ == buffer) boundElementBuffer_ = kUnknownBuffer;
}

// --- IUnknown and ID3D11DeviceChild ---

HRESULT Context::QueryInterface(REFIID riid, void** object) {
    return QueryInterfaceFor<ID3D11DeviceContext, ID3D11DeviceChild, IUnknown>(this, riid, object);
}

ULONG Context::AddRef() {
    const ULONG count = ++refs_;
    if (count == 1) DeviceAddRef(device_);
    return count;
}

ULONG Context::Release() {
    const ULONG count = --refs_;
    if (count == 0) DeviceRelease(device_);
    return count;
}

void Context::GetDevice(ID3D11Device** out) { Out<ID3D11Device>(out, device_); }
HRESULT Context::GetPrivateData(REFGUID guid, UINT* size, void* data) { return privateData_.Get(guid, size, data); }
HRESULT Context::SetPrivateData(REFGUID guid, UINT size, const void* data) {
    return privateData_.Set(guid, size, data);
}
HRESULT Context::SetPrivateDataInterface(REFGUID guid, const IUnknown* object) {
    return privateData_.SetInterface(guid, object);
}

// --- shader stages ---

bool Context::IsBoundForOutput(uint64_t resourceId) const {
    for (const auto& t : renderTargets_)
        if (t && t->ResourceId() == resourceId) return true;
    return depthView_ && depthView_->ResourceId() == resourceId;
}

void Context::SetConstantBuffers(int stage, const char* function, UINT start, UINT count,
                                 ID3D11Buffer* const* buffers) {
    if (!SlotsValid(function, start, count, kConstantSlots)) return;
    for (UINT i = 0; i < count; ++i) {
        auto* buffer = buffers ? static_cast<Buffer*>(buffers[i]) : nullptr;
        if (buffer && !(buffer->Desc().BindFlags & D3D11_BIND_CONSTANT_BUFFER)) {
            LogInvalid(function, "a buffer without D3D11_BIND_CONSTANT_BUFFER is bound as null");
            buffer = nullptr;
        }
        stages_[stage].constants[start + i].Reset(buffer);
    }
}

void Context::SetShaderResources(int stage, const char* function, UINT start, UINT count,
                                 ID3D11ShaderResourceView* const* views) {
    if (!SlotsValid(function, start, count, kResourceSlots)) return;
    StageBindings& s = stages_[stage];
    for (UINT i = 0; i < count; ++i) {
        auto* view = views ? static_cast<ShaderResourceView*>(views[i]) : nullptr;
        // A resource cannot be read while it is an output: Direct3D binds null instead.
        if (view && IsBoundForOutput(view->ResourceId())) {
            LogInvalid(function, "the view's texture is bound as a render or depth target; null is bound instead");
            view = nullptr;
        }
        s.views[start + i].Reset(view);
    }
    s.viewsUsed = std::max<uint32_t>(s.viewsUsed, start + count);
}

void Context::SetSamplers(int stage, const char* function, UINT start, UINT count,
                          ID3D11SamplerState* const* samplers) {
    if (!SlotsValid(function, start, count, kSamplerSlots)) return;
    for (UINT i = 0; i < count; ++i)
        stages_[stage].samplers[start + i].Reset(samplers ? static_cast<SamplerState*>(samplers[i]) : nullptr);
}

void Context::GetConstantBuffers(int stage, UINT start, UINT count, ID3D11Buffer** buffers) {
    for (UINT i = 0; i < count && buffers; ++i)
        Out<ID3D11Buffer>(&buffers[i], start + i < kConstantSlots ? stages_[stage].constants[start + i].Get() : nullptr);
}

void Context::GetShaderResources(int stage, UINT start, UINT count, ID3D11ShaderResourceView** views) {
    for (UINT i = 0; i < count && views; ++i)
        Out<ID3D11ShaderResourceView>(&views[i],
                                      start + i < kResourceSlots ? stages_[stage].views[start + i].Get() : nullptr);
}

void Context::GetSamplers(int stage, UINT start, UINT count, ID3D11SamplerState** samplers) {
    for (UINT i = 0; i < count && samplers; ++i)
        Out<ID3D11SamplerState>(&samplers[i],
                                start + i < kSamplerSlots ? stages_[stage].samplers[start + i].Get() : nullptr);
}

void Context::VSSetConstantBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers) {
    SetConstantBuffers(kVertexStage, "VSSetConstantBuffers", start, count, buffers);
}
void Context::PSSetConstantBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers) {
    SetConstantBuffers(kPixelStage, "PSSetConstantBuffers", start, count, buffers);
}
void Context::VSSetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView* const* views) {
    SetShaderResources(kVertexStage, "VSSetShaderResources", start, count, views);
}
void Context::PSSetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView* const* views) {
    SetShaderResources(kPixelStage, "PSSetShaderResources", start, count, views);
}
void Context::VSSetSamplers(UINT start, UINT count, ID3D11SamplerState* const* samplers) {
    SetSamplers(kVertexStage, "VSSetSamplers", start, count, samplers);
}
void Context::PSSetSamplers(UINT start, UINT count, ID3D11SamplerState* const* samplers) {
    SetSamplers(kPixelStage, "PSSetSamplers", start, count, samplers);
}

void Context::VSSetShader(ID3D11VertexShader* shader, ID3D11ClassInstance* const*, UINT instanceCount) {
    if (instanceCount) LogUnsupported("VSSetShader", "class instances (ignored)");
    auto* vs = static_cast<VertexShader*>(shader);
    if (vs == vertexShader_.Get()) return;
    vertexShader_.Reset(vs);
    dirtyProgram_ = dirtyAttributes_ = true;
}

void Context::PSSetShader(ID3D11PixelShader* shader, ID3D11ClassInstance* const*, UINT instanceCount) {
    if (instanceCount) LogUnsupported("PSSetShader", "class instances (ignored)");
    auto* ps = static_cast<PixelShader*>(shader);
    if (ps == pixelShader_.Get()) return;
    pixelShader_.Reset(ps);
    dirtyProgram_ = true;
}

void Context::VSGetConstantBuffers(UINT start, UINT count, ID3D11Buffer** buffers) {
    GetConstantBuffers(kVertexStage, start, count, buffers);
}
void Context::PSGetConstantBuffers(UINT start, UINT count, ID3D11Buffer** buffers) {
    GetConstantBuffers(kPixelStage, start, count, buffers);
}
void Context::VSGetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView** views) {
    GetShaderResources(kVertexStage, start, count, views);
}
void Context::PSGetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView** views) {
    GetShaderResources(kPixelStage, start, count, views);
}
void Context::VSGetSamplers(UINT start, UINT count, ID3D11SamplerState** samplers) {
    GetSamplers(kVertexStage, start, count, samplers);
}
void Context::PSGetSamplers(UINT start, UINT count, ID3D11SamplerState** samplers) {
    GetSamplers(kPixelStage, start, count, samplers);
}
void Context::VSGetShader(ID3D11VertexShader** shader, ID3D11ClassInstance**, UINT* instanceCount) {
    Out<ID3D11VertexShader>(shader, vertexShader_.Get());
    if (instanceCount) *instanceCount = 0;
}
void Context::PSGetShader(ID3D11PixelShader** shader, ID3D11ClassInstance**, UINT* instanceCount) {
    Out<ID3D11PixelShader>(shader, pixelShader_.Get());
    if (instanceCount) *instanceCount = 0;
}

// --- input assembler ---

void Context::IASetInputLayout(ID3D11InputLayout* layout) {
    auto* l = static_cast<InputLayout*>(layout);
    if (l == inputLayout_.Get()) return;
    inputLayout_.Reset(l);
    dirtyAttributes_ = true;
}

void Context::IASetVertexBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers, const UINT* strides,
                                 const UINT* offsets) {
    if (!SlotsValid("IASetVertexBuffers", start, count, kVertexSlots)) return;
    for (UINT i = 0; i < count; ++i) {
        auto* buffer = buffers ? static_cast<Buffer*>(buffers[i]) : nullptr;
        if (buffer && !(buffer->Desc().BindFlags & D3D11_BIND_VERTEX_BUFFER)) {
            LogInvalid("IASetVertexBuffers", "a buffer without D3D11_BIND_VERTEX_BUFFER is bound as null");
            buffer = nullptr;
        }
        const UINT stride = strides ? strides[i] : 0, offset = offsets ? offsets[i] : 0;
        VertexBinding& v = vertexBuffers_[start + i];
        if (v.buffer.Get() == buffer && v.stride == stride && v.offset == offset) continue;
        if (!v.buffer != !buffer) dirtyAttributes_ = true;
        v.buffer.Reset(buffer);
        v.stride = stride;
        v.offset = offset;
    }
}

void Context::IASetIndexBuffer(ID3D11Buffer* buffer, DXGI_FORMAT format, UINT offset) {
    auto* b = static_cast<Buffer*>(buffer);
    if (b && format != DXGI_FORMAT_R16_UINT && format != DXGI_FORMAT_R32_UINT) {
        LogInvalid("IASetIndexBuffer", "Format must be DXGI_FORMAT_R16_UINT or R32_UINT; the call is ignored");
        return;
    }
    if (b && !(b->Desc().BindFlags & D3D11_BIND_INDEX_BUFFER)) {
        LogInvalid("IASetIndexBuffer", "a buffer without D3D11_BIND_INDEX_BUFFER is bound as null");
        b = nullptr;
    }
    indexBuffer_.Reset(b);
    indexFormat_ = format;
    indexOffset_ = offset;
}

void Context::IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY topology) { topology_ = topology; }

void Context::IAGetInputLayout(ID3D11InputLayout** layout) { Out<ID3D11InputLayout>(layout, inputLayout_.Get()); }

void Context::IAGetVertexBuffers(UINT start, UINT count, ID3D11Buffer** buffers, UINT* strides, UINT* offsets) {
    for (UINT i = 0; i < count; ++i) {
        const bool inRange = start + i < kVertexSlots;
        if (buffers) Out<ID3D11Buffer>(&buffers[i], inRange ? vertexBuffers_[start + i].buffer.Get() : nullptr);
        if (strides) strides[i] = inRange ? vertexBuffers_[start + i].stride : 0;
        if (offsets) offsets[i] = inRange ? vertexBuffers_[start + i].offset : 0;
    }
}

void Context::IAGetIndexBuffer(ID3D11Buffer** buffer, DXGI_FORMAT* format, UINT* offset) {
    Out<ID3D11Buffer>(buffer, indexBuffer_.Get());
    if (format) *format = indexFormat_;
    if (offset) *offset = indexOffset_;
}

void Context::IAGetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY* topology) {
    if (topology) *topology = topology_;
}

// --- rasterizer ---

void Context::RSSetState(ID3D11RasterizerState* state) {
    auto* r = static_cast<RasterizerState*>(state);
    if (r == rasterizer_.Get()) return;
    rasterizer_.Reset(r);
    ApplyRasterizer();
}

void Context::ApplyRasterizer() {
    device_->MakeCurrent();
    GlState& gl = device_->Gl();
    const D3D11_RASTERIZER_DESC d = rasterizer_ ? rasterizer_->Desc() : RasterizerState::Default();
    gl.PolygonMode(d.FillMode == D3D11_FILL_WIREFRAME ? GL_LINE : GL_FILL);
    gl.Enable(GL_CULL_FACE, d.CullMode != D3D11_CULL_NONE);
    if (d.CullMode != D3D11_CULL_NONE) gl.CullFace(d.CullMode == D3D11_CULL_FRONT ? GL_FRONT : GL_BACK);
    // Row 0 is the top with the device's clip control, which mirrors the winding GL sees:
    // Direct3D's clockwise front faces are GL_CW here.
    gl.FrontFace(d.FrontCounterClockwise ? GL_CCW : GL_CW);
    const bool bias = d.DepthBias != 0 || d.SlopeScaledDepthBias != 0.0f;
    gl.Enable(GL_POLYGON_OFFSET_FILL, bias);
    gl.Enable(GL_POLYGON_OFFSET_LINE, bias);
    gl.Enable(GL_POLYGON_OFFSET_POINT, bias);
    if (bias) {
        if (d.DepthBiasClamp != 0.0f && !gl.polygonOffsetClamp)
            LogUnsupported("RSSetState", "DepthBiasClamp without GL polygon offset clamp (not clamped)");
        gl.PolygonOffset(d.SlopeScaledDepthBias, static_cast<float>(d.DepthBias), d.DepthBiasClamp);
    }
    gl.Enable(GL_DEPTH_CLAMP, !d.DepthClipEnable);
    gl.Enable(GL_SCISSOR_TEST, d.ScissorEnable);
}

void Context::RSSetViewports(UINT count, const D3D11_VIEWPORT* viewports) {
    if (count > kViewports || (count && !viewports)) {
        LogInvalid("RSSetViewports", "NumViewports %u is more than 16 or the array is null; ignored", count);
        return;
    }
    device_->MakeCurrent();
    GlState& gl = device_->Gl();
    viewportCount_ = count;
    for (UINT i = 0; i < count; ++i) {
        const D3D11_VIEWPORT& v = viewports[i];
        viewports_[i] = v;
        // GL's viewport y counts from row 0 (the top) under the device's clip control.
        gl.Viewport(static_cast<int>(i), v.TopLeftX, v.TopLeftY, std::max(0.0f, v.Width), std::max(0.0f, v.Height));
        gl.DepthRange(static_cast<int>(i), v.MinDepth, v.MaxDepth);
    }
}

void Context::RSSetScissorRects(UINT count, const D3D11_RECT* rects) {
    if (count > kViewports || (count && !rects)) {
        LogInvalid("RSSetScissorRects", "NumRects %u is more than 16 or the array is null; ignored", count);
        return;
    }
    device_->MakeCurrent();
    scissorCount_ = count;
    for (UINT i = 0; i < count; ++i) {
        const D3D11_RECT& r = rects[i];
        scissors_[i] = r;
        device_->Gl().Scissor(static_cast<int>(i), r.left, r.top, std::max<LONG>(0, r.right - r.left),
                              std::max<LONG>(0, r.bottom - r.top));
    }
}

void Context::RSGetState(ID3D11RasterizerState** state) { Out<ID3D11RasterizerState>(state, rasterizer_.Get()); }

void Context::RSGetViewports(UINT* count, D3D11_VIEWPORT* viewports) {
    if (!count) return;
    if (viewports)
        for (UINT i = 0; i < *count; ++i) viewports[i] = i < viewportCount_ ? viewports_[i] : D3D11_VIEWPORT{};
    else
        *count = viewportCount_;
}

void Context::RSGetScissorRects(UINT* count, D3D11_RECT* rects) {
    if (!count) return;
    if (rects)
        for (UINT i = 0; i < *count; ++i) rects[i] = i < scissorCount_ ? scissors_[i] : D3D11_RECT{};
    else
        *count = scissorCount_;
}

// --- output merger ---

void Context::OMSetRenderTargets(UINT count, ID3D11RenderTargetView* const* views, ID3D11DepthStencilView* depth) {
    if (count > kTargets) {
        LogInvalid("OMSetRenderTargets", "NumViews %u is more than 8; ignored", count);
        return;
    }
    bool changed = false;
    for (UINT i = 0; i < kTargets; ++i) {
        auto* view = i < count && views ? static_cast<RenderTargetView*>(views[i]) : nullptr;
        changed |= renderTargets_[i].Get() != view;
        renderTargets_[i].Reset(view);
    }
    auto* dsv = static_cast<DepthStencilView*>(depth);
    const bool depthChanged = dsv != depthView_.Get();
    depthView_.Reset(dsv);
    if (!changed && !depthChanged) return;
    dirtyFramebuffer_ = true;
    // Outputs cannot stay readable: Direct3D unbinds their shader-resource views.
    for (StageBindings& s : stages_)
        for (uint32_t i = 0; i < s.viewsUsed; ++i)
            if (s.views[i] && IsBoundForOutput(s.views[i]->ResourceId())) s.views[i].Reset(nullptr);
    if (depthChanged) ApplyDepthStencil();  // a read-only view changes the write masks
}

void Context::OMSetRenderTargetsAndUnorderedAccessViews(UINT count, ID3D11RenderTargetView* const* views,
                                                        ID3D11DepthStencilView* depth, UINT, UINT uavCount,
                                                        ID3D11UnorderedAccessView* const*, const UINT*) {
    if (uavCount && uavCount != D3D11_KEEP_UNORDERED_ACCESS_VIEWS)
        LogUnsupported("OMSetRenderTargetsAndUnorderedAccessViews", "unordered-access views (ignored)");
    if (count != D3D11_KEEP_RENDER_TARGETS_AND_DEPTH_STENCIL) OMSetRenderTargets(count, views, depth);
}

void Context::OMSetBlendState(ID3D11BlendState* state, const FLOAT factor[4], UINT sampleMask) {
    blend_.Reset(static_cast<BlendState*>(state));
    for (int i = 0; i < 4; ++i) blendFactor_[i] = factor ? factor[i] : 1.0f;
    sampleMask_ = sampleMask;
    ApplyBlend();
}

void Context::ApplyBlend() {
    device_->MakeCurrent();
    GlState& gl = device_->Gl();
    const D3D11_BLEND_DESC d = blend_ ? blend_->Desc() : BlendState::Default();
    for (int i = 0; i < kTargets; ++i) {
        const D3D11_RENDER_TARGET_BLEND_DESC& t = d.RenderTarget[i];
        gl.EnableBlend(i, t.BlendEnable);
        if (t.BlendEnable) {
            gl.BlendFunc(i, GlBlend(t.SrcBlend, false), GlBlend(t.DestBlend, false), GlBlend(t.SrcBlendAlpha, true),
                         GlBlend(t.DestBlendAlpha, true));
            gl.BlendEquation(i, GlBlendOp(t.BlendOp), GlBlendOp(t.BlendOpAlpha));
        }
        gl.ColorMask(i, colorSuppressed_ ? 0 : t.RenderTargetWriteMask & 0xF);
    }
    gl.BlendColor(blendFactor_);
}

void Context::OMSetDepthStencilState(ID3D11DepthStencilState* state, UINT stencilRef) {
    depthStencil_.Reset(static_cast<DepthStencilState*>(state));
    stencilRef_ = stencilRef;
    ApplyDepthStencil();
}

void Context::ApplyDepthStencil() {
    device_->MakeCurrent();
    GlState& gl = device_->Gl();
    const D3D11_DEPTH_STENCIL_DESC d = depthStencil_ ? depthStencil_->Desc() : DepthStencilState::Default();
    const bool readOnlyDepth = depthView_ && depthView_->ReadOnlyDepth();
    const bool readOnlyStencil = depthView_ && depthView_->ReadOnlyStencil();
    gl.Enable(GL_DEPTH_TEST, d.DepthEnable);
    gl.DepthMask(d.DepthEnable && d.DepthWriteMask == D3D11_DEPTH_WRITE_MASK_ALL && !readOnlyDepth);
    gl.DepthFunc(GlComparison(d.DepthFunc));
    gl.Enable(GL_STENCIL_TEST, d.StencilEnable);
    const GLint ref = static_cast<GLint>(stencilRef_ & 0xFF);
    const GLuint writeMask = readOnlyStencil ? 0 : d.StencilWriteMask;
    const D3D11_DEPTH_STENCILOP_DESC* faces[2] = {&d.FrontFace, &d.BackFace};
    const GLenum glFaces[2] = {GL_FRONT, GL_BACK};
    for (int i = 0; i < 2; ++i) {
        gl.StencilFunc(glFaces[i], GlComparison(faces[i]->StencilFunc), ref, d.StencilReadMask);
        gl.StencilOp(glFaces[i], GlStencilOp(faces[i]->StencilFailOp), GlStencilOp(faces[i]->StencilDepthFailOp),
                     GlStencilOp(faces[i]->StencilPassOp));
        gl.StencilMask(glFaces[i], writeMask);
    }
}

void Context::OMGetRenderTargets(UINT count, ID3D11RenderTargetView** views, ID3D11DepthStencilView** depth) {
    for (UINT i = 0; i < count && views; ++i)
        Out<ID3D11RenderTargetView>(&views[i], i < kTargets ? renderTargets_[i].Get() : nullptr);
    Out<ID3D11DepthStencilView>(depth, depthView_.Get());
}

void Context::OMGetRenderTargetsAndUnorderedAccessViews(UINT count, ID3D11RenderTargetView** views,
                                                        ID3D11DepthStencilView** depth, UINT, UINT uavCount,
                                                        ID3D11UnorderedAccessView** uavs) {
    OMGetRenderTargets(count, views, depth);
    for (UINT i = 0; i < uavCount && uavs; ++i) uavs[i] = nullptr;
}

void Context::OMGetBlendState(ID3D11BlendState** state, FLOAT factor[4], UINT* sampleMask) {
    Out<ID3D11BlendState>(state, blend_.Get());
    if (factor)
        for (int i = 0; i < 4; ++i) factor[i] = blendFactor_[i];
    if (sampleMask) *sampleMask = sampleMask_;
}

void Context::OMGetDepthStencilState(ID3D11DepthStencilState** state, UINT* stencilRef) {
    Out<ID3D11DepthStencilState>(state, depthStencil_.Get());
    if (stencilRef) *stencilRef = stencilRef_;
}

// --- whole-context operations ---

void Context::ClearState() {
    ReleaseBindings();
    topology_ = D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED;
    indexFormat_ = DXGI_FORMAT_UNKNOWN;
    indexOffset_ = 0;
    viewportCount_ = scissorCount_ = 0;
    for (float& f : blendFactor_) f = 1.0f;
    sampleMask_ = D3D11_DEFAULT_SAMPLE_MASK;
    stencilRef_ = 0;
    colorSuppressed_ = false;
    InitGl();
}

void Context::Flush() {
    device_->MakeCurrent();
    device_->Stream().Fence();
    glFlush();
}

}  // namespace quarvel::d3d11
