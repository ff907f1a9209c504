// GL programs, one per (vertex shader, pixel shader) pair, linked at the first draw with the
// pair. After linking, each constant block is tied to the uniform binding of its (stage, b
// register) and each combined sampler to a texture unit of its own; the draw then binds
// buffers, views and samplers to those.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "gl.h"
#include "hlsl/shader_blob.h"

namespace quarvel::d3d11 {

class GlState;

enum Stage : int { kVertexStage = 0, kPixelStage = 1, kStageCount = 2 };

// Uniform binding point of constant-buffer register `slot` of `stage`.
inline int UniformBinding(int stage, uint32_t slot) { return stage * 14 + static_cast<int>(slot); }

struct ProgramBlock {
    int stage;
    uint32_t slot;
    const hlsl::ConstantBlock* block;  // owned by the shader, which outlives the program
    uint32_t layoutId;
};

struct ProgramSampler {
    int stage;
    uint32_t textureSlot;
    uint32_t samplerSlot;  // hlsl::SamplerBinding::kNoSampler for Load
    hlsl::TextureDimension dimension;
    int unit;
};

struct Program {
    GLuint name = 0;  // 0 when the link failed
    std::vector<ProgramBlock> blocks;
    std::vector<ProgramSampler> samplers;
};

struct ShaderRef {
    uint64_t id;
    GLuint gl;
    const hlsl::CompiledShader* compiled;
    const std::vector<uint32_t>* layouts;
};

class ProgramCache {
public:
    // `pixel.id` 0 links the vertex shader alone (a draw without a pixel shader still
    // writes depth). Never null; a failed link has name 0 and is not retried.
    const Program& Get(const ShaderRef& vertex, const ShaderRef& pixel);
    void ForgetShader(uint64_t shaderId);
    void Clear();
    void SetState(GlState* state) { state_ = state; }

private:
    std::map<std::pair<uint64_t, uint64_t>, Program> programs_;
    GlState* state_ = nullptr;
};

}  // namespace quarvel::d3d11
