// What D3DCompile puts in a code blob and the device reads back from it: the GLSL that
// glslang and SPIRV-Cross made of the HLSL, plus everything Direct3D knows about a shader
// that GLSL does not say (input semantics, constant-buffer registers and their Direct3D
// packing, texture and sampler registers). Stored in a versioned little-endian layout so a
// blob is plain bytes like a real one.
//
// The contract between the compiler and the device, which both sides rely on:
// - GLSL 4.50 core, one stage per blob, entry point main().
// - Vertex inputs are `layout(location = N) in` variables named attr_<SEMANTIC><index>;
//   `inputs` lists each one the shader actually reads (declared but unread inputs are left
//   out), sorted by location.
// - Varyings carry no location: a vertex output and a pixel input are both named
//   vary_<SEMANTIC><index> (upper case, index always written: TEXCOORD -> vary_TEXCOORD0),
//   so two stages compiled apart link by name in one GL program, as Direct3D matches them
//   by semantic. SV_Position is gl_Position / gl_FragCoord (with SV_Position.w in a pixel
//   shader the clip w, as in Direct3D); SV_Target0..7 are `layout(location = N) out`.
// - Positions are written as Direct3D has them (no clip-space fix-up, no y flip): the
//   device uses glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE) and glFrontFace(GL_CW).
// - Each cbuffer is a std140 uniform block named with the stage's prefix ("vs_", "ps_")
//   and no binding qualifier: the device looks it up by `glslBlockName` and calls
//   glUniformBlockBinding itself. Loose globals form the block Direct3D calls "$Globals".
//   Buffers the entry point never reads are usually optimized away and then not listed.
// - Each combined sampler is a `uniform sampler2D` / `samplerCube` named with the stage's
//   prefix, unique to the stage; no binding qualifier. One texture read through two
//   sampler states is two entries.
// - Uploading a cbuffer: the block holds `glSize` bytes. With an empty `repack`, the first
//   min(d3dSize, glSize) bytes go across as they are; otherwise byte d3dOffset..+size of the
//   Direct3D buffer goes to glOffset..+size of the block for each range, and the bytes in
//   between are padding nothing reads. ReadShaderBlob guarantees every range lies inside
//   both sizes. A Direct3D buffer smaller than `d3dSize` (Direct3D allows it) leaves the
//   values past its end undefined: fill them with zeros.
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

// Bumped whenever the byte layout changes; ReadShaderBlob refuses any other version.
inline constexpr uint32_t kShaderBlobVersion = 1;

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
