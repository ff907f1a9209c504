// The last step of D3DCompile: SPIRV-Cross turns legalized SPIR-V into GLSL 4.50 and we
// gather what the device must know that GLSL does not say (see shader_blob.h).
#pragma once

#include <cstdint>
#include <vector>

#include "diagnostics.h"
#include "explicit_offsets.h"
#include "shader_blob.h"

namespace quarvel::hlsl {

// Fills `out`'s GLSL, inputs, blocks and samplers (not its stage, entry or target). False
// with errors in `diagnostics` for what the device cannot run: storage buffers, UAVs, texture
// kinds other than 2D and cube, vertex inputs without a semantic.
bool TranslateToGlsl(const std::vector<uint32_t>& spirv, ShaderStage stage, const ExplicitOffsets& offsets,
                     CompiledShader& out, Diagnostics& diagnostics);

}  // namespace quarvel::hlsl
