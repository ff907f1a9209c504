// What D3DCompile puts in a code blob and the device reads back from it: the GLSL that
// glslang and SPIRV-Cross made of the HLSL, plus everything Direct3D knows about a shader
// that GLSL does not say (input semantics, constant-buffer registers and their Direct3D
// packing, texture and sampler registers). Stored in a versioned little-endian layout so a
// blob is plain bytes like a real one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quarvel::hlsl {

enum class ShaderStage : uint32_t { Vertex = 0, Pixel = 1 };

enum class ComponentType : uint32_t { Float = 0, SInt = 1, UInt = 2 };

// One vertex-shader input, matched to an input-layout element by semantic name and index.
struct VertexInput {
    std::string semantic;        // upper case, without the index digits: "POSITION"
    uint32_t semanticIndex = 0;  // TEXCOORD1 -> 1
    uint32_t location = 0;       // layout(location) of the GLSL input
    uint32_t components = 4;     // 1 to 4
    ComponentType type = ComponentType::Float;
};

// One byte range copied when a Direct3D-packed constant buffer is uploaded to its std140
// uniform block.
struct CopyRange {
    uint32_t d3dOffset = 0;
    uint32_t glOffset = 0;
    uint32_t size = 0;
};

// One cbuffer. In the GLSL it is a std140 uniform block named `glslBlockName`, which is
// unique to the stage (so a vertex and a pixel shader of one program never share a block
// by accident); the device binds the buffer of register b`slot` of that stage to it.
struct ConstantBlock {
    std::string name;           // the HLSL cbuffer name, for messages
    std::string glslBlockName;  // the GLSL block name to look up after linking
    uint32_t slot = 0;          // b register
    uint32_t d3dSize = 0;       // bytes as Direct3D packs the block (multiple of 16)
    uint32_t glSize = 0;        // bytes of the std140 block
    // Empty when the two layouts coincide and the bytes are uploaded as they are.
    std::vector<CopyRange> repack;
};

enum class TextureDimension : uint32_t { Texture2D = 0, TextureCube = 1 };

// One combined sampler of the GLSL: at draw time its texture unit gets the view of register
// t`textureSlot` and the sampler object of register s`samplerSlot` of the same stage.
struct SamplerBinding {
    std::string glslName;            // the GLSL sampler uniform, unique to the stage
    uint32_t textureSlot = 0;
    uint32_t samplerSlot = kNoSampler;  // kNoSampler for Load(), which needs no sampler state
    TextureDimension dimension = TextureDimension::Texture2D;
    static constexpr uint32_t kNoSampler = 0xFFFFFFFFu;
};

struct CompiledShader {
    ShaderStage stage = ShaderStage::Vertex;
    std::string entryPoint;
    std::string target;  // "vs_4_0", "ps_5_0", ...
    // GLSL 4.50 core. Varyings carry no locations of their own: the vertex outputs and the
    // pixel inputs are named after their semantics, so a vertex and a pixel shader compiled
    // separately link by name, as Direct3D matches them.
    std::string glsl;
    std::vector<VertexInput> inputs;  // vertex shaders only
    std::vector<ConstantBlock> blocks;
    std::vector<SamplerBinding> samplers;
};

// Serialises `shader` into blob bytes.
std::vector<uint8_t> WriteShaderBlob(const CompiledShader& shader);
// Parses blob bytes; false (and `out` untouched) for anything that is not a complete blob
// of this layout and version. Never reads past `size`.
bool ReadShaderBlob(const void* data, size_t size, CompiledShader& out);

}  // namespace quarvel::hlsl
