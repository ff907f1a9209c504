// The parts of the context outside what this device implements: geometry, hull, domain and
// compute stages, stream output, queries and predication, indirect draws, deferred contexts.
// Setting them logs once; getting them returns null, as a context where nothing was set.
#include "context.h"
#include "log.h"

namespace quarvel::d3d11 {
namespace {

template <typename T>
void NullAll(T** out, UINT count) {
    for (UINT i = 0; out && i < count; ++i) out[i] = nullptr;
}

template <typename T>
void NullShader(T** shader, UINT* instanceCount) {
    if (shader) *shader = nullptr;
    if (instanceCount) *instanceCount = 0;
}

}  // namespace

void Context::GSSetConstantBuffers(UINT, UINT, ID3D11Buffer* const*) { LogUnsupported("GSSetConstantBuffers", "geometry shaders"); }
void Context::GSSetShader(ID3D11GeometryShader* shader, ID3D11ClassInstance* const*, UINT) {
    if (shader) LogUnsupported("GSSetShader", "geometry shaders");
}
void Context::GSSetShaderResources(UINT, UINT, ID3D11ShaderResourceView* const*) { LogUnsupported("GSSetShaderResources", "geometry shaders"); }
void Context::GSSetSamplers(UINT, UINT, ID3D11SamplerState* const*) { LogUnsupported("GSSetSamplers", "geometry shaders"); }
void Context::HSSetShaderResources(UINT, UINT, ID3D11ShaderResourceView* const*) { LogUnsupported("HSSetShaderResources", "hull shaders"); }
void Context::HSSetShader(ID3D11HullShader* shader, ID3D11ClassInstance* const*, UINT) {
    if (shader) LogUnsupported("HSSetShader", "hull shaders");
}
void Context::HSSetSamplers(UINT, UINT, ID3D11SamplerState* const*) { LogUnsupported("HSSetSamplers", "hull shaders"); }
void Context::HSSetConstantBuffers(UINT, UINT, ID3D11Buffer* const*) { LogUnsupported("HSSetConstantBuffers", "hull shaders"); }
void Context::DSSetShaderResources(UINT, UINT, ID3D11ShaderResourceView* const*) { LogUnsupported("DSSetShaderResources", "domain shaders"); }
void Context::DSSetShader(ID3D11DomainShader* shader, ID3D11ClassInstance* const*, UINT) {
    if (shader) LogUnsupported("DSSetShader", "domain shaders");
}
void Context::DSSetSamplers(UINT, UINT, ID3D11SamplerState* const*) { LogUnsupported("DSSetSamplers", "domain shaders"); }
void Context::DSSetConstantBuffers(UINT, UINT, ID3D11Buffer* const*) { LogUnsupported("DSSetConstantBuffers", "domain shaders"); }
void Context::CSSetShaderResources(UINT, UINT, ID3D11ShaderResourceView* const*) { LogUnsupported("CSSetShaderResources", "compute shaders"); }
void Context::CSSetUnorderedAccessViews(UINT, UINT, ID3D11UnorderedAccessView* const*, const UINT*) {
    LogUnsupported("CSSetUnorderedAccessViews", "compute shaders");
}
void Context::CSSetShader(ID3D11ComputeShader* shader, ID3D11ClassInstance* const*, UINT) {
    if (shader) LogUnsupported("CSSetShader", "compute shaders");
}
void Context::CSSetSamplers(UINT, UINT, ID3D11SamplerState* const*) { LogUnsupported("CSSetSamplers", "compute shaders"); }
void Context::CSSetConstantBuffers(UINT, UINT, ID3D11Buffer* const*) { LogUnsupported("CSSetConstantBuffers", "compute shaders"); }

void Context::GSGetConstantBuffers(UINT, UINT count, ID3D11Buffer** out) { NullAll(out, count); }
void Context::GSGetShader(ID3D11GeometryShader** s, ID3D11ClassInstance**, UINT* n) { NullShader(s, n); }
void Context::GSGetShaderResources(UINT, UINT count, ID3D11ShaderResourceView** out) { NullAll(out, count); }
void Context::GSGetSamplers(UINT, UINT count, ID3D11SamplerState** out) { NullAll(out, count); }
void Context::HSGetShaderResources(UINT, UINT count, ID3D11ShaderResourceView** out) { NullAll(out, count); }
void Context::HSGetShader(ID3D11HullShader** s, ID3D11ClassInstance**, UINT* n) { NullShader(s, n); }
void Context::HSGetSamplers(UINT, UINT count, ID3D11SamplerState** out) { NullAll(out, count); }
void Context::HSGetConstantBuffers(UINT, UINT count, ID3D11Buffer** out) { NullAll(out, count); }
void Context::DSGetShaderResources(UINT, UINT count, ID3D11ShaderResourceView** out) { NullAll(out, count); }
void Context::DSGetShader(ID3D11DomainShader** s, ID3D11ClassInstance**, UINT* n) { NullShader(s, n); }
void Context::DSGetSamplers(UINT, UINT count, ID3D11SamplerState** out) { NullAll(out, count); }
void Context::DSGetConstantBuffers(UINT, UINT count, ID3D11Buffer** out) { NullAll(out, count); }
void Context::CSGetShaderResources(UINT, UINT count, ID3D11ShaderResourceView** out) { NullAll(out, count); }
void Context::CSGetUnorderedAccessViews(UINT, UINT count, ID3D11UnorderedAccessView** out) { NullAll(out, count); }
void Context::CSGetShader(ID3D11ComputeShader** s, ID3D11ClassInstance**, UINT* n) { NullShader(s, n); }
void Context::CSGetSamplers(UINT, UINT count, ID3D11SamplerState** out) { NullAll(out, count); }
void Context::CSGetConstantBuffers(UINT, UINT count, ID3D11Buffer** out) { NullAll(out, count); }

void Context::Begin(ID3D11Asynchronous*) { LogUnsupported("Begin", "queries"); }
void Context::End(ID3D11Asynchronous*) { LogUnsupported("End", "queries"); }
HRESULT Context::GetData(ID3D11Asynchronous*, void*, UINT, UINT) {
    LogUnsupported("GetData", "queries");
    return E_NOTIMPL;
}
void Context::SetPredication(ID3D11Predicate* predicate, BOOL) {
    if (predicate) LogUnsupported("SetPredication", "predicated rendering");
}
void Context::GetPredication(ID3D11Predicate** predicate, BOOL* value) {
    if (predicate) *predicate = nullptr;
    if (value) *value = FALSE;
}

void Context::SOSetTargets(UINT count, ID3D11Buffer* const* buffers, const UINT*) {
    for (UINT i = 0; i < count && buffers; ++i)
        if (buffers[i]) LogUnsupported("SOSetTargets", "stream output");
}
void Context::SOGetTargets(UINT count, ID3D11Buffer** out) { NullAll(out, count); }
void Context::DrawAuto() { LogUnsupported("DrawAuto", "stream output"); }
void Context::DrawIndexedInstancedIndirect(ID3D11Buffer*, UINT) { LogUnsupported("DrawIndexedInstancedIndirect", "indirect draws"); }
void Context::DrawInstancedIndirect(ID3D11Buffer*, UINT) { LogUnsupported("DrawInstancedIndirect", "indirect draws"); }
void Context::Dispatch(UINT, UINT, UINT) { LogUnsupported("Dispatch", "compute shaders"); }
void Context::DispatchIndirect(ID3D11Buffer*, UINT) { LogUnsupported("DispatchIndirect", "compute shaders"); }

void Context::CopyStructureCount(ID3D11Buffer*, UINT, ID3D11UnorderedAccessView*) {
    LogUnsupported("CopyStructureCount", "unordered-access views");
}
void Context::ClearUnorderedAccessViewUint(ID3D11UnorderedAccessView*, const UINT[4]) {
    LogUnsupported("ClearUnorderedAccessViewUint", "unordered-access views");
}
void Context::ClearUnorderedAccessViewFloat(ID3D11UnorderedAccessView*, const FLOAT[4]) {
    LogUnsupported("ClearUnorderedAccessViewFloat", "unordered-access views");
}
void Context::SetResourceMinLOD(ID3D11Resource*, FLOAT) { LogUnsupported("SetResourceMinLOD", "resource LOD clamps"); }
FLOAT Context::GetResourceMinLOD(ID3D11Resource*) { return 0.0f; }
void Context::ResolveSubresource(ID3D11Resource*, UINT, ID3D11Resource*, UINT, DXGI_FORMAT) {
    LogUnsupported("ResolveSubresource", "multisampled resources");
}
void Context::ExecuteCommandList(ID3D11CommandList*, BOOL) { LogUnsupported("ExecuteCommandList", "command lists"); }
HRESULT Context::FinishCommandList(BOOL, ID3D11CommandList** list) {
    if (list) *list = nullptr;
    return DXGI_ERROR_INVALID_CALL;  // only deferred contexts record command lists
}

}  // namespace quarvel::d3d11
