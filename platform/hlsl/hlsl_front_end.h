// The first two steps of D3DCompile: glslang turns HLSL into SPIR-V, then SPIRV-Tools
// legalizes it. Kept apart from the GLSL step so the benchmark can time each one.
#pragma once

#include <d3dcommon.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics.h"
#include "explicit_offsets.h"
#include "shader_blob.h"

namespace quarvel::hlsl {

// Binding numbers glslang gives each register class, so that the t, s and b registers of
// one shader never compete for the same number and resources without register() get the
// first free register of their class, as Direct3D gives them. register = binding - base.
inline constexpr uint32_t kTextureBindingBase = 0;
inline constexpr uint32_t kSamplerBindingBase = 1000;
inline constexpr uint32_t kBlockBindingBase = 2000;

// "vs_4_0" ... "ps_5_0"; nullopt for any other target.
std::optional<ShaderStage> StageOfTarget(std::string_view target);

struct Macro {
    std::string name;
    std::string definition;
};

struct FrontEndInput {
    std::string_view source;
    std::string sourceName;  // as messages show it
    std::vector<Macro> macros;
    ID3DInclude* include = nullptr;  // may be D3D_COMPILE_STANDARD_FILE_INCLUDE
    std::string entry;
    ShaderStage stage = ShaderStage::Vertex;
    uint32_t flags = 0;  // D3DCOMPILE_*
};

class FrontEnd {
public:
    FrontEnd();
    ~FrontEnd();
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;

    // Parses, links and maps the shader and writes its (not yet legalized) SPIR-V. False
    // when there are errors, which go to `diagnostics` with any warnings.
    bool Parse(const FrontEndInput& input, Diagnostics& diagnostics);
    // Runs glslang's HLSL legalization on the SPIR-V. Without it, a texture handed to a
    // function is not resolvable to its variable and samples nothing. False with a message
    // when the optimizer fails.
    bool Legalize(Diagnostics& diagnostics);

    const std::vector<uint32_t>& Spirv() const { return spirv_; }
    const ExplicitOffsets& Offsets() const { return offsets_; }

private:
    struct Glslang;
    std::unique_ptr<Glslang> glslang_;
    std::vector<uint32_t> spirv_;
    ExplicitOffsets offsets_;
};

}  // namespace quarvel::hlsl
