// The immediate ID3D11DeviceContext. It records what the program binds, keeping bound
// objects alive with private references; pipeline state objects go to GL as they are set
// (the GL shadow skips what is already there), resource bindings are marked dirty and
// applied at the next draw, when the program, framebuffer and vertex layout are known.
#pragma once

#include <array>
#include <cstdint>

#include "blend_state.h"
#include "buffer.h"
#include "com_object.h"
#include "depth_stencil_state.h"
#include "depth_stencil_view.h"
#include "input_layout.h"
#include "program_cache.h"
#include "rasterizer_state.h"
#include "render_target_view.h"
#include "sampler_state.h"
#include "shader.h"
#include "shader_resource_view.h"

namespace quarvel::d3d11 {

class Context final : public ID3D11DeviceContext {
public:
    explicit Context(Device* device);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // Sets GL to the defaults the recorded state starts from; called once the GL context exists.
    void InitGl();
    // Drops every binding (the device is going away, or ClearState).
    void ReleaseBindings();
    // A GL buffer is being deleted: what the vertex array is known to hold of it is stale.
    void ForgetGlBuffer(GLuint buffer);

    // IUnknown. The context lives as long as its device; its references count on the device.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ID3D11DeviceChild
    void STDMETHODCALLTYPE GetDevice(ID3D11Device** out) override;
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID guid, UINT* size, void* data) override;
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID guid, UINT size, const void* data) override;
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID guid, const IUnknown* object) override;

    // ID3D11DeviceContext, in the interface's order.
    void STDMETHODCALLTYPE VSSetConstantBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers) override;
    void STDMETHODCALLTYPE PSSetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView* const* views) override;
    void STDMETHODCALLTYPE PSSetShader(ID3D11PixelShader* shader, ID3D11ClassInstance* const* instances,
                                       UINT instanceCount) override;
    void STDMETHODCALLTYPE PSSetSamplers(UINT start, UINT count, ID3D11SamplerState* const* samplers) override;
    void STDMETHODCALLTYPE VSSetShader(ID3D11VertexShader* shader, ID3D11ClassInstance* const* instances,
                                       UINT instanceCount) override;
    void STDMETHODCALLTYPE DrawIndexed(UINT indexCount, UINT startIndex, INT baseVertex) override;
    void STDMETHODCALLTYPE Draw(UINT vertexCount, UINT startVertex) override;
    HRESULT STDMETHODCALLTYPE Map(ID3D11Resource* resource, UINT subresource, D3D11_MAP type, UINT flags,
                                  D3D11_MAPPED_SUBRESOURCE* mapped) override;
    void STDMETHODCALLTYPE Unmap(ID3D11Resource* resource, UINT subresource) override;
    void STDMETHODCALLTYPE PSSetConstantBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers) override;
    void STDMETHODCALLTYPE IASetInputLayout(ID3D11InputLayout* layout) override;
    void STDMETHODCALLTYPE IASetVertexBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers,
                                              const UINT* strides, const UINT* offsets) override;
    void STDMETHODCALLTYPE IASetIndexBuffer(ID3D11Buffer* buffer, DXGI_FORMAT format, UINT offset) override;
    void STDMETHODCALLTYPE DrawIndexedInstanced(UINT indexCount, UINT instanceCount, UINT startIndex, INT baseVertex,
                                                UINT startInstance) override;
    void STDMETHODCALLTYPE DrawInstanced(UINT vertexCount, UINT instanceCount, UINT startVertex,
                                         UINT startInstance) override;
    void STDMETHODCALLTYPE GSSetConstantBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers) override;
    void STDMETHODCALLTYPE GSSetShader(ID3D11GeometryShader* shader, ID3D11ClassInstance* const* instances,
                                       UINT instanceCount) override;
    void STDMETHODCALLTYPE IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY topology) override;
    void STDMETHODCALLTYPE VSSetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView* const* views) override;
    void STDMETHODCALLTYPE VSSetSamplers(UINT start, UINT count, ID3D11SamplerState* const* samplers) override;
    void STDMETHODCALLTYPE Begin(ID3D11Asynchronous* async) override;
    void STDMETHODCALLTYPE End(ID3D11Asynchronous* async) override;
    HRESULT STDMETHODCALLTYPE GetData(ID3D11Asynchronous* async, void* data, UINT size, UINT flags) override;
    void STDMETHODCALLTYPE SetPredication(ID3D11Predicate* predicate, BOOL value) override;
    void STDMETHODCALLTYPE GSSetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView* const* views) override;
    void STDMETHODCALLTYPE GSSetSamplers(UINT start, UINT count, ID3D11SamplerState* const* samplers) override;
    void STDMETHODCALLTYPE OMSetRenderTargets(UINT count, ID3D11RenderTargetView* const* views,
                                              ID3D11DepthStencilView* depth) override;
    void STDMETHODCALLTYPE OMSetRenderTargetsAndUnorderedAccessViews(UINT count, ID3D11RenderTargetView* const* views,
                                                                     ID3D11DepthStencilView* depth, UINT uavStart,
                                                                     UINT uavCount,
                                                                     ID3D11UnorderedAccessView* const* uavs,
                                                                     const UINT* initialCounts) override;
    void STDMETHODCALLTYPE OMSetBlendState(ID3D11BlendState* state, const FLOAT factor[4], UINT sampleMask) override;
    void STDMETHODCALLTYPE OMSetDepthStencilState(ID3D11DepthStencilState* state, UINT stencilRef) override;
    void STDMETHODCALLTYPE SOSetTargets(UINT count, ID3D11Buffer* const* buffers, const UINT* offsets) override;
    void STDMETHODCALLTYPE DrawAuto() override;
    void STDMETHODCALLTYPE DrawIndexedInstancedIndirect(ID3D11Buffer* args, UINT offset) override;
    void STDMETHODCALLTYPE DrawInstancedIndirect(ID3D11Buffer* args, UINT offset) override;
    void STDMETHODCALLTYPE Dispatch(UINT x, UINT y, UINT z) override;
    void STDMETHODCALLTYPE DispatchIndirect(ID3D11Buffer* args, UINT offset) override;
    void STDMETHODCALLTYPE RSSetState(ID3D11RasterizerState* state) override;
    void STDMETHODCALLTYPE RSSetViewports(UINT count, const D3D11_VIEWPORT* viewports) override;
    void STDMETHODCALLTYPE RSSetScissorRects(UINT count, const D3D11_RECT* rects) override;
    void STDMETHODCALLTYPE CopySubresourceRegion(ID3D11Resource* dst, UINT dstSubresource, UINT dstX, UINT dstY,
                                                 UINT dstZ, ID3D11Resource* src, UINT srcSubresource,
                                                 const D3D11_BOX* srcBox) override;
    void STDMETHODCALLTYPE CopyResource(ID3D11Resource* dst, ID3D11Resource* src) override;
    void STDMETHODCALLTYPE UpdateSubresource(ID3D11Resource* dst, UINT dstSubresource, const D3D11_BOX* box,
                                             const void* data, UINT rowPitch, UINT depthPitch) override;
    void STDMETHODCALLTYPE CopyStructureCount(ID3D11Buffer* dst, UINT offset, ID3D11UnorderedAccessView* src) override;
    void STDMETHODCALLTYPE ClearRenderTargetView(ID3D11RenderTargetView* view, const FLOAT color[4]) override;
    void STDMETHODCALLTYPE ClearUnorderedAccessViewUint(ID3D11UnorderedAccessView* view, const UINT values[4]) override;
    void STDMETHODCALLTYPE ClearUnorderedAccessViewFloat(ID3D11UnorderedAccessView* view,
                                                         const FLOAT values[4]) override;
    void STDMETHODCALLTYPE ClearDepthStencilView(ID3D11DepthStencilView* view, UINT flags, FLOAT depth,
                                                 UINT8 stencil) override;
    void STDMETHODCALLTYPE GenerateMips(ID3D11ShaderResourceView* view) override;
    void STDMETHODCALLTYPE SetResourceMinLOD(ID3D11Resource* resource, FLOAT minLod) override;
    FLOAT STDMETHODCALLTYPE GetResourceMinLOD(ID3D11Resource* resource) override;
    void STDMETHODCALLTYPE ResolveSubresource(ID3D11Resource* dst, UINT dstSubresource, ID3D11Resource* src,
                                              UINT srcSubresource, DXGI_FORMAT format) override;
    void STDMETHODCALLTYPE ExecuteCommandList(ID3D11CommandList* list, BOOL restore) override;
    void STDMETHODCALLTYPE HSSetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView* const* views) override;
    void STDMETHODCALLTYPE HSSetShader(ID3D11HullShader* shader, ID3D11ClassInstance* const* instances,
                                       UINT instanceCount) override;
    void STDMETHODCALLTYPE HSSetSamplers(UINT start, UINT count, ID3D11SamplerState* const* samplers) override;
    void STDMETHODCALLTYPE HSSetConstantBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers) override;
    void STDMETHODCALLTYPE DSSetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView* const* views) override;
    void STDMETHODCALLTYPE DSSetShader(ID3D11DomainShader* shader, ID3D11ClassInstance* const* instances,
                                       UINT instanceCount) override;
    void STDMETHODCALLTYPE DSSetSamplers(UINT start, UINT count, ID3D11SamplerState* const* samplers) override;
    void STDMETHODCALLTYPE DSSetConstantBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers) override;
    void STDMETHODCALLTYPE CSSetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView* const* views) override;
    void STDMETHODCALLTYPE CSSetUnorderedAccessViews(UINT start, UINT count, ID3D11UnorderedAccessView* const* uavs,
                                                     const UINT* initialCounts) override;
    void STDMETHODCALLTYPE CSSetShader(ID3D11ComputeShader* shader, ID3D11ClassInstance* const* instances,
                                       UINT instanceCount) override;
    void STDMETHODCALLTYPE CSSetSamplers(UINT start, UINT count, ID3D11SamplerState* const* samplers) override;
    void STDMETHODCALLTYPE CSSetConstantBuffers(UINT start, UINT count, ID3D11Buffer* const* buffers) override;
    void STDMETHODCALLTYPE VSGetConstantBuffers(UINT start, UINT count, ID3D11Buffer** buffers) override;
    void STDMETHODCALLTYPE PSGetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView** views) override;
    void STDMETHODCALLTYPE PSGetShader(ID3D11PixelShader** shader, ID3D11ClassInstance** instances,
                                       UINT* instanceCount) override;
    void STDMETHODCALLTYPE PSGetSamplers(UINT start, UINT count, ID3D11SamplerState** samplers) override;
    void STDMETHODCALLTYPE VSGetShader(ID3D11VertexShader** shader, ID3D11ClassInstance** instances,
                                       UINT* instanceCount) override;
    void STDMETHODCALLTYPE PSGetConstantBuffers(UINT start, UINT count, ID3D11Buffer** buffers) override;
    void STDMETHODCALLTYPE IAGetInputLayout(ID3D11InputLayout** layout) override;
    void STDMETHODCALLTYPE IAGetVertexBuffers(UINT start, UINT count, ID3D11Buffer** buffers, UINT* strides,
                                              UINT* offsets) override;
    void STDMETHODCALLTYPE IAGetIndexBuffer(ID3D11Buffer** buffer, DXGI_FORMAT* format, UINT* offset) override;
    void STDMETHODCALLTYPE GSGetConstantBuffers(UINT start, UINT count, ID3D11Buffer** buffers) override;
    void STDMETHODCALLTYPE GSGetShader(ID3D11GeometryShader** shader, ID3D11ClassInstance** instances,
                                       UINT* instanceCount) override;
    void STDMETHODCALLTYPE IAGetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY* topology) override;
    void STDMETHODCALLTYPE VSGetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView** views) override;
    void STDMETHODCALLTYPE VSGetSamplers(UINT start, UINT count, ID3D11SamplerState** samplers) override;
    void STDMETHODCALLTYPE GetPredication(ID3D11Predicate** predicate, BOOL* value) override;
    void STDMETHODCALLTYPE GSGetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView** views) override;
    void STDMETHODCALLTYPE GSGetSamplers(UINT start, UINT count, ID3D11SamplerState** samplers) override;
    void STDMETHODCALLTYPE OMGetRenderTargets(UINT count, ID3D11RenderTargetView** views,
                                              ID3D11DepthStencilView** depth) override;
    void STDMETHODCALLTYPE OMGetRenderTargetsAndUnorderedAccessViews(UINT count, ID3D11RenderTargetView** views,
                                                                     ID3D11DepthStencilView** depth, UINT uavStart,
                                                                     UINT uavCount,
                                                                     ID3D11UnorderedAccessView** uavs) override;
    void STDMETHODCALLTYPE OMGetBlendState(ID3D11BlendState** state, FLOAT factor[4], UINT* sampleMask) override;
    void STDMETHODCALLTYPE OMGetDepthStencilState(ID3D11DepthStencilState** state, UINT* stencilRef) override;
    void STDMETHODCALLTYPE SOGetTargets(UINT count, ID3D11Buffer** buffers) override;
    void STDMETHODCALLTYPE RSGetState(ID3D11RasterizerState** state) override;
    void STDMETHODCALLTYPE RSGetViewports(UINT* count, D3D11_VIEWPORT* viewports) override;
    void STDMETHODCALLTYPE RSGetScissorRects(UINT* count, D3D11_RECT* rects) override;
    void STDMETHODCALLTYPE HSGetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView** views) override;
    void STDMETHODCALLTYPE HSGetShader(ID3D11HullShader** shader, ID3D11ClassInstance** instances,
                                       UINT* instanceCount) override;
    void STDMETHODCALLTYPE HSGetSamplers(UINT start, UINT count, ID3D11SamplerState** samplers) override;
    void STDMETHODCALLTYPE HSGetConstantBuffers(UINT start, UINT count, ID3D11Buffer** buffers) override;
    void STDMETHODCALLTYPE DSGetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView** views) override;
    void STDMETHODCALLTYPE DSGetShader(ID3D11DomainShader** shader, ID3D11ClassInstance** instances,
                                       UINT* instanceCount) override;
    void STDMETHODCALLTYPE DSGetSamplers(UINT start, UINT count, ID3D11SamplerState** samplers) override;
    void STDMETHODCALLTYPE DSGetConstantBuffers(UINT start, UINT count, ID3D11Buffer** buffers) override;
    void STDMETHODCALLTYPE CSGetShaderResources(UINT start, UINT count, ID3D11ShaderResourceView** views) override;
    void STDMETHODCALLTYPE CSGetUnorderedAccessViews(UINT start, UINT count, ID3D11UnorderedAccessView** uavs) override;
    void STDMETHODCALLTYPE CSGetShader(ID3D11ComputeShader** shader, ID3D11ClassInstance** instances,
                                       UINT* instanceCount) override;
    void STDMETHODCALLTYPE CSGetSamplers(UINT start, UINT count, ID3D11SamplerState** samplers) override;
    void STDMETHODCALLTYPE CSGetConstantBuffers(UINT start, UINT count, ID3D11Buffer** buffers) override;
    void STDMETHODCALLTYPE ClearState() override;
    void STDMETHODCALLTYPE Flush() override;
    D3D11_DEVICE_CONTEXT_TYPE STDMETHODCALLTYPE GetType() override { return D3D11_DEVICE_CONTEXT_IMMEDIATE; }
    UINT STDMETHODCALLTYPE GetContextFlags() override { return 0; }
    HRESULT STDMETHODCALLTYPE FinishCommandList(BOOL restore, ID3D11CommandList** list) override;

private:
    static constexpr int kConstantSlots = D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT;
    static constexpr int kResourceSlots = D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT;
    static constexpr int kSamplerSlots = D3D11_COMMONSHADER_SAMPLER_SLOT_COUNT;
    static constexpr int kVertexSlots = D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT;
    static constexpr int kTargets = D3D11_SIMULTANEOUS_RENDER_TARGET_COUNT;
    static constexpr int kViewports = D3D11_VIEWPORT_AND_SCISSORRECT_OBJECT_COUNT_PER_PIPELINE;
    // How far past the end of a vertex buffer a draw's vertices are emulated with zeros.
    static constexpr uint64_t kMaxZeroPadding = uint64_t(64) << 20;

    struct StageBindings {
        std::array<PrivateRef<Buffer>, kConstantSlots> constants;
        std::array<PrivateRef<ShaderResourceView>, kResourceSlots> views;
        std::array<PrivateRef<SamplerState>, kSamplerSlots> samplers;
        uint32_t viewsUsed = 0;  // one past the highest slot ever set, to bound scans
    };
    struct VertexBinding {
        PrivateRef<Buffer> buffer;
        UINT stride = 0;
        UINT offset = 0;
    };

    // state setting shared by the stages
    void SetConstantBuffers(int stage, const char* function, UINT start, UINT count, ID3D11Buffer* const* buffers);
    void SetShaderResources(int stage, const char* function, UINT start, UINT count,
                            ID3D11ShaderResourceView* const* views);
    void SetSamplers(int stage, const char* function, UINT start, UINT count, ID3D11SamplerState* const* samplers);
    void GetConstantBuffers(int stage, UINT start, UINT count, ID3D11Buffer** buffers);
    void GetShaderResources(int stage, UINT start, UINT count, ID3D11ShaderResourceView** views);
    void GetSamplers(int stage, UINT start, UINT count, ID3D11SamplerState** samplers);
    bool IsBoundForOutput(uint64_t resourceId) const;

    // pipeline state to GL
    void ApplyRasterizer();
    void ApplyDepthStencil();
    void ApplyBlend();

    // draws
    // `vertexEnd`: one past the last vertex read; the instances drawn from `startInstance`.
    bool PrepareDraw(uint64_t vertexEnd, uint64_t startInstance, uint64_t instanceCount);
    bool PrepareFramebuffer();
    bool PrepareProgram();
    bool PrepareVertexInput(uint64_t vertexEnd, uint64_t startInstance, uint64_t instanceCount);
    uint64_t IndexedVertexEnd(UINT indexCount, UINT startIndex, INT baseVertex);
    bool PrepareAttributes();
    void PrepareConstants();
    void PrepareTextures();
    // GL_POINTS is 0, the same value as GL_NONE, so "no topology" needs a value of its own.
    static constexpr GLenum kNoGlTopology = ~GLenum(0);
    GLenum GlTopology() const;

    // copies
    void CopyTextureRegion(Texture2D* dst, uint32_t dstSub, uint32_t x, uint32_t y, Texture2D* src, uint32_t srcSub,
                           const D3D11_BOX& box);

    Device* device_;
    std::atomic<ULONG> refs_{0};
    PrivateData privateData_;

    StageBindings stages_[kStageCount];
    PrivateRef<VertexShader> vertexShader_;
    PrivateRef<PixelShader> pixelShader_;
    PrivateRef<InputLayout> inputLayout_;
    std::array<VertexBinding, kVertexSlots> vertexBuffers_;
    PrivateRef<Buffer> indexBuffer_;
    DXGI_FORMAT indexFormat_ = DXGI_FORMAT_UNKNOWN;
    UINT indexOffset_ = 0;
    D3D11_PRIMITIVE_TOPOLOGY topology_ = D3D11_PRIMITIVE_TOPOLOGY_UNDEFINED;

    PrivateRef<RasterizerState> rasterizer_;
    std::array<D3D11_VIEWPORT, kViewports> viewports_{};
    UINT viewportCount_ = 0;
    std::array<D3D11_RECT, kViewports> scissors_{};
    UINT scissorCount_ = 0;

    std::array<PrivateRef<RenderTargetView>, kTargets> renderTargets_;
    PrivateRef<DepthStencilView> depthView_;
    PrivateRef<BlendState> blend_;
    float blendFactor_[4] = {1, 1, 1, 1};
    UINT sampleMask_ = D3D11_DEFAULT_SAMPLE_MASK;
    PrivateRef<DepthStencilState> depthStencil_;
    UINT stencilRef_ = 0;

    // what the next draw must bring up to date
    bool dirtyFramebuffer_ = true;
    bool dirtyProgram_ = true;
    bool dirtyAttributes_ = true;     // layout, vertex shader or which slots hold buffers
    GLuint framebuffer_ = 0;  // 0 when nothing can be drawn to the bound views
    // What the vertex array holds, so that a draw sends only what changed.
    static constexpr GLuint kUnknownBuffer = ~0u;
    struct BoundSlot {
        GLuint buffer = kUnknownBuffer;
        GLintptr offset = 0;
        GLsizei stride = 0;
    };
    std::array<BoundSlot, kVertexSlots> boundSlots_;
    GLuint boundElementBuffer_ = kUnknownBuffer;
    // The slots the current attributes read, and for each the bytes one element spans and
    // its instance step (0 per vertex).
    uint32_t readSlots_ = 0;
    std::array<uint32_t, kVertexSlots> slotExtent_{};
    std::array<uint32_t, kVertexSlots> slotDivisor_{};
    const Program* program_ = nullptr;
    bool colorSuppressed_ = false;   // no pixel shader: colour writes off
    uint32_t enabledAttributes_ = 0;  // GL attribute locations enabled on the vertex array
    const std::vector<VertexAttribute>* attributes_ = nullptr;
    // Bytes a copy passes through memory, kept so that copies allocate only when they grow.
    std::vector<uint8_t> copyScratch_;
};

}  // namespace quarvel::d3d11
