#include "input_layout.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "device.h"
#include "log.h"
#include "shader.h"

namespace quarvel::d3d11 {
namespace {

std::string Upper(const char* s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

HRESULT InputLayout::Create(Device* device, const D3D11_INPUT_ELEMENT_DESC* elements, UINT count,
                            const void* bytecode, SIZE_T length, ID3D11InputLayout** out) {
    const char* f = "CreateInputLayout";
    if (out) *out = nullptr;
    if (count > D3D11_IA_VERTEX_INPUT_STRUCTURE_ELEMENT_COUNT)
        return LogInvalid(f, "NumElements %u is more than 32", count), E_INVALIDARG;
    if (count && !elements) return LogInvalid(f, "pInputElementDescs is null"), E_INVALIDARG;
    hlsl::CompiledShader shader;
    if (!ParseShaderBlob(bytecode, length, hlsl::ShaderStage::Vertex, D3D_FEATURE_LEVEL_11_0, f, shader))
        return E_INVALIDARG;

    std::vector<Element> parsed;
    uint32_t nextOffset[D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT] = {};
    uint32_t slotMask = 0;
    for (UINT i = 0; i < count; ++i) {
        const D3D11_INPUT_ELEMENT_DESC& e = elements[i];
        if (!e.SemanticName || !*e.SemanticName)
            return LogInvalid(f, "element %u has no SemanticName", i), E_INVALIDARG;
        for (const char* c = e.SemanticName; *c; ++c)
            if (!(std::isalnum(static_cast<unsigned char>(*c)) || *c == '_'))
                return LogInvalid(f, "element %u: SemanticName \"%s\" has characters other than letters, digits and _",
                                  i, e.SemanticName),
                       E_INVALIDARG;
        const FormatInfo* format = GetFormatInfo(e.Format);
        if (!format || !format->vertexSize)
            return LogInvalid(f, "element %u (%s): Format %d cannot be a vertex element", i, e.SemanticName, e.Format),
                   E_INVALIDARG;
        if (e.InputSlot >= D3D11_IA_VERTEX_INPUT_RESOURCE_SLOT_COUNT)
            return LogInvalid(f, "element %u: InputSlot %u is more than 31", i, e.InputSlot), E_INVALIDARG;
        if (e.InputSlotClass != D3D11_INPUT_PER_VERTEX_DATA && e.InputSlotClass != D3D11_INPUT_PER_INSTANCE_DATA)
            return LogInvalid(f, "element %u: InputSlotClass %d is not a D3D11_INPUT_CLASSIFICATION", i,
                              e.InputSlotClass),
                   E_INVALIDARG;
        if (e.InputSlotClass == D3D11_INPUT_PER_VERTEX_DATA && e.InstanceDataStepRate != 0)
            return LogInvalid(f, "element %u: per-vertex data must have InstanceDataStepRate 0", i), E_INVALIDARG;
        const uint32_t offset = e.AlignedByteOffset == D3D11_APPEND_ALIGNED_ELEMENT ? nextOffset[e.InputSlot]
                                                                                     : e.AlignedByteOffset;
        if (offset % std::min(4u, format->bytes))
            return LogInvalid(f, "element %u: offset %u is not aligned to its format", i, offset), E_INVALIDARG;
        Element element{Upper(e.SemanticName), e.SemanticIndex, format, e.InputSlot, offset,
                        e.InputSlotClass == D3D11_INPUT_PER_INSTANCE_DATA ? std::max(1u, e.InstanceDataStepRate) : 0};
        for (const Element& other : parsed)
            if (other.semantic == element.semantic && other.index == element.index)
                return LogInvalid(f, "semantic %s%u appears twice", e.SemanticName, e.SemanticIndex), E_INVALIDARG;
        nextOffset[e.InputSlot] = offset + format->bytes;
        slotMask |= 1u << e.InputSlot;
        parsed.push_back(std::move(element));
    }

    auto* layout = new (std::nothrow) InputLayout(device);
    if (!layout) return E_OUTOFMEMORY;
    layout->elements_ = std::move(parsed);
    layout->slotMask_ = slotMask;
    std::vector<VertexAttribute> attributes;
    if (!layout->Resolve(shader, attributes)) {
        layout->Release();
        return E_INVALIDARG;
    }
    if (!out) {
        layout->Release();
        return S_FALSE;
    }
    *out = layout;
    return S_OK;
}

const InputLayout::Element* InputLayout::Find(const std::string& semantic, uint32_t index) const {
    for (const Element& e : elements_)
        if (e.index == index && e.semantic == Upper(semantic.c_str())) return &e;
    return nullptr;
}

bool InputLayout::Resolve(const hlsl::CompiledShader& shader, std::vector<VertexAttribute>& out) const {
    out.clear();
    for (const hlsl::VertexInput& input : shader.inputs) {
        const Element* e = Find(input.semantic, input.semanticIndex);
        if (!e) {
            LogInvalid("CreateInputLayout", "the vertex shader %s reads %s%u, which the layout does not have",
                       shader.entryPoint.c_str(), input.semantic.c_str(), input.semanticIndex);
            return false;
        }
        const bool integer = input.type != hlsl::ComponentType::Float;
        if (integer != e->format->IsInteger())
            LogUnsupported("CreateInputLayout", "vertex elements whose format type (integer or float) differs from "
                                                "the shader input's (read as the shader's type)");
        out.push_back({input.location, e->slot, e->offset, e->format, integer && e->format->IsInteger(), e->divisor});
    }
    return true;
}

const std::vector<VertexAttribute>* InputLayout::AttributesFor(uint64_t shaderId, const hlsl::CompiledShader& shader) {
    for (const Resolved& r : resolved_)
        if (r.shaderId == shaderId) return r.ok ? &r.attributes : nullptr;
    Resolved r{shaderId, false, {}};
    r.ok = Resolve(shader, r.attributes);
    if (!r.ok) LogError("Draw", "the input layout does not match the vertex shader %s; its draws are skipped",
                        shader.entryPoint.c_str());
    // A shader's id is never reused, so stale entries only cost memory; keep the list short.
    if (resolved_.size() >= 16) resolved_.erase(resolved_.begin());
    resolved_.push_back(std::move(r));
    return resolved_.back().ok ? &resolved_.back().attributes : nullptr;
}

}  // namespace quarvel::d3d11
