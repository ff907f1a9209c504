#include "shader.h"

#include <new>
#include <string>

#include "device.h"
#include "log.h"

namespace quarvel::d3d11 {
namespace {

// The lowest feature level that runs a shader target ("vs_5_0", "ps_4_0_level_9_3", ...).
D3D_FEATURE_LEVEL RequiredLevel(const std::string& target) {
    if (target.find("level_9_3") != std::string::npos) return D3D_FEATURE_LEVEL_9_3;
    if (target.find("level_9_") != std::string::npos) return D3D_FEATURE_LEVEL_9_1;
    if (target.size() >= 6 && target[3] == '5') return D3D_FEATURE_LEVEL_11_0;
    if (target.size() >= 6 && target[3] == '4' && target[5] == '1') return D3D_FEATURE_LEVEL_10_1;
    return D3D_FEATURE_LEVEL_10_0;
}

}  // namespace

bool ParseShaderBlob(const void* bytecode, SIZE_T length, hlsl::ShaderStage stage, D3D_FEATURE_LEVEL level,
                     const char* function, hlsl::CompiledShader& out) {
    if (!bytecode || length == 0) return LogInvalid(function, "the shader bytecode is null or empty"), false;
    if (!hlsl::ReadShaderBlob(bytecode, length, out))
        return LogInvalid(function, "the bytecode is not a code blob of this platform's D3DCompile"), false;
    if (out.stage != stage)
        return LogInvalid(function, "the bytecode is a %s shader", out.stage == hlsl::ShaderStage::Vertex ? "vertex" : "pixel"),
               false;
    if (RequiredLevel(out.target) > level)
        return LogInvalid(function, "target %s needs a higher feature level than the device's (0x%x)",
                          out.target.c_str(), level),
               false;
    for (const hlsl::ConstantBlock& block : out.blocks)
        if (block.slot >= D3D11_COMMONSHADER_CONSTANT_BUFFER_API_SLOT_COUNT)
            return LogInvalid(function, "cbuffer %s uses register b%u (at most b13)", block.name.c_str(), block.slot),
                   false;
    for (const hlsl::SamplerBinding& sampler : out.samplers)
        if (sampler.textureSlot >= D3D11_COMMONSHADER_INPUT_RESOURCE_SLOT_COUNT ||
            (sampler.samplerSlot != hlsl::SamplerBinding::kNoSampler &&
             sampler.samplerSlot >= D3D11_COMMONSHADER_SAMPLER_SLOT_COUNT))
            return LogInvalid(function, "texture or sampler register out of range"), false;
    return true;
}

template <typename Interface, hlsl::ShaderStage kStage>
HRESULT Shader<Interface, kStage>::Create(Device* device, const void* bytecode, SIZE_T length,
                                          ID3D11ClassLinkage* linkage, Interface** out) {
    const char* f = kStage == hlsl::ShaderStage::Vertex ? "CreateVertexShader" : "CreatePixelShader";
    if (out) *out = nullptr;
    if (linkage) LogUnsupported(f, "class linkage (ignored)");
    hlsl::CompiledShader compiled;
    if (!ParseShaderBlob(bytecode, length, kStage, device->GetFeatureLevel(), f, compiled)) return E_INVALIDARG;
    if (!out) return S_FALSE;

    device->MakeCurrent();
    const GLuint gl = glCreateShader(kStage == hlsl::ShaderStage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
    const char* source = compiled.glsl.c_str();
    glShaderSource(gl, 1, &source, nullptr);
    glCompileShader(gl);
    GLint ok = GL_FALSE;
    glGetShaderiv(gl, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        GLint logLength = 0;
        glGetShaderiv(gl, GL_INFO_LOG_LENGTH, &logLength);
        std::string log(static_cast<size_t>(logLength > 0 ? logLength : 1), '\0');
        glGetShaderInfoLog(gl, logLength, nullptr, log.data());
        LogError(f, "GL rejected the GLSL of %s: %s", compiled.entryPoint.c_str(), log.c_str());
        glDeleteShader(gl);
        return E_INVALIDARG;
    }
    auto* shader = new (std::nothrow) Shader(device);
    if (!shader) {
        glDeleteShader(gl);
        return E_OUTOFMEMORY;
    }
    shader->gl_ = gl;
    for (const hlsl::ConstantBlock& block : compiled.blocks) shader->blockLayouts_.push_back(device->InternBlockLayout(block));
    shader->compiled_ = std::move(compiled);
    *out = shader;
    return S_OK;
}

template <typename Interface, hlsl::ShaderStage kStage>
Shader<Interface, kStage>::~Shader() {
    Device* device = this->Owner();
    device->MakeCurrent();
    device->Programs().ForgetShader(this->Id());
    glDeleteShader(gl_);
}

template class Shader<ID3D11VertexShader, hlsl::ShaderStage::Vertex>;
template class Shader<ID3D11PixelShader, hlsl::ShaderStage::Pixel>;

}  // namespace quarvel::d3d11
