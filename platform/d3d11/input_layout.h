// ID3D11InputLayout: the elements of the description, matched to vertex-shader inputs by
// semantic name (case-insensitive) and index. The match is made per vertex shader (each
// shader numbers its GLSL inputs itself) and kept, so binding the same pair again costs a
// lookup.
#pragma once

#include <string>
#include <vector>

#include "com_object.h"
#include "formats.h"
#include "hlsl/shader_blob.h"

namespace quarvel::d3d11 {

struct VertexAttribute {
    GLuint location;
    uint32_t slot;
    uint32_t offset;
    const FormatInfo* format;
    bool integer;    // the shader reads ints: glVertexArrayAttribIFormat
    uint32_t divisor;  // 0 per vertex, else instances per element
};

class InputLayout final : public DeviceChild<ID3D11InputLayout> {
public:
    static HRESULT Create(Device* device, const D3D11_INPUT_ELEMENT_DESC* elements, UINT count, const void* bytecode,
                          SIZE_T length, ID3D11InputLayout** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return QueryInterfaceFor<ID3D11InputLayout, ID3D11DeviceChild, IUnknown>(this, riid, object);
    }

    // The attributes for a vertex shader's inputs; null (logged once) when the shader reads
    // an input this layout lacks.
    const std::vector<VertexAttribute>* AttributesFor(uint64_t shaderId, const hlsl::CompiledShader& shader);
    uint32_t SlotMask() const { return slotMask_; }

private:
    explicit InputLayout(Device* device) : DeviceChild(device) {}

    struct Element {
        std::string semantic;  // upper case
        uint32_t index;
        const FormatInfo* format;
        uint32_t slot;
        uint32_t offset;
        uint32_t divisor;
    };
    const Element* Find(const std::string& semantic, uint32_t index) const;
    bool Resolve(const hlsl::CompiledShader& shader, std::vector<VertexAttribute>& out) const;

    std::vector<Element> elements_;
    uint32_t slotMask_ = 0;
    struct Resolved {
        uint64_t shaderId;
        bool ok;
        std::vector<VertexAttribute> attributes;
    };
    std::vector<Resolved> resolved_;
};

}  // namespace quarvel::d3d11
