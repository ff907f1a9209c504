#include "program_cache.h"

#include <string>

#include "gl_state.h"
#include "log.h"

namespace quarvel::d3d11 {
namespace {

void Describe(const ShaderRef& shader, int stage, GLuint program, Program& out, int& unit) {
    if (!shader.compiled) return;
    const hlsl::CompiledShader& c = *shader.compiled;
    for (size_t i = 0; i < c.blocks.size(); ++i) {
        const hlsl::ConstantBlock& block = c.blocks[i];
        const GLuint index = glGetUniformBlockIndex(program, block.glslBlockName.c_str());
        if (index == GL_INVALID_INDEX) continue;  // the block is not read after optimisation
        glUniformBlockBinding(program, index, UniformBinding(stage, block.slot));
        out.blocks.push_back({stage, block.slot, &block, (*shader.layouts)[i]});
    }
    for (const hlsl::SamplerBinding& sampler : c.samplers) {
        const GLint location = glGetUniformLocation(program, sampler.glslName.c_str());
        if (location < 0) continue;
        if (unit >= GlState::kMaxUnits) {
            LogUnsupported("Draw", "more than 64 textures in one program");
            break;
        }
        glProgramUniform1i(program, location, unit);
        out.samplers.push_back({stage, sampler.textureSlot, sampler.samplerSlot, sampler.dimension, unit});
        ++unit;
    }
}

}  // namespace

const Program& ProgramCache::Get(const ShaderRef& vertex, const ShaderRef& pixel) {
    const auto key = std::make_pair(vertex.id, pixel.id);
    auto it = programs_.find(key);
    if (it != programs_.end()) return it->second;

    Program& program = programs_[key];
    const GLuint name = glCreateProgram();
    glAttachShader(name, vertex.gl);
    if (pixel.id) glAttachShader(name, pixel.gl);
    glLinkProgram(name);
    GLint ok = GL_FALSE;
    glGetProgramiv(name, GL_LINK_STATUS, &ok);
    if (!ok) {
        GLint length = 0;
        glGetProgramiv(name, GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<size_t>(length > 0 ? length : 1), '\0');
        glGetProgramInfoLog(name, length, nullptr, log.data());
        LogError("Draw", "the vertex shader %s and pixel shader %s do not link (%s); draws with them are skipped",
                 vertex.compiled->entryPoint.c_str(), pixel.compiled ? pixel.compiled->entryPoint.c_str() : "(none)",
                 log.c_str());
        glDeleteProgram(name);
        return program;
    }
    program.name = name;
    int unit = 0;
    Describe(vertex, kVertexStage, name, program, unit);
    Describe(pixel, kPixelStage, name, program, unit);
    return program;
}

void ProgramCache::ForgetShader(uint64_t shaderId) {
    for (auto it = programs_.begin(); it != programs_.end();) {
        if (it->first.first != shaderId && it->first.second != shaderId) {
            ++it;
            continue;
        }
        if (it->second.name) {
            if (state_) state_->ForgetProgram(it->second.name);
            glDeleteProgram(it->second.name);
        }
        it = programs_.erase(it);
    }
}

void ProgramCache::Clear() {
    for (auto& entry : programs_)
        if (entry.second.name) {
            if (state_) state_->ForgetProgram(entry.second.name);
            glDeleteProgram(entry.second.name);
        }
    programs_.clear();
}

}  // namespace quarvel::d3d11
