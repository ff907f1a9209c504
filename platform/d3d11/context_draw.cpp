// The draw calls: everything marked dirty since the last draw is brought into GL here.
#include <vector>

#include "context.h"
#include "device.h"
#include "log.h"

namespace quarvel::d3d11 {

GLenum Context::GlTopology() const {
    switch (topology_) {
        case D3D11_PRIMITIVE_TOPOLOGY_POINTLIST: return GL_POINTS;
        case D3D11_PRIMITIVE_TOPOLOGY_LINELIST: return GL_LINES;
        case D3D11_PRIMITIVE_TOPOLOGY_LINESTRIP: return GL_LINE_STRIP;
        case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST: return GL_TRIANGLES;
        case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
        case D3D11_PRIMITIVE_TOPOLOGY_LINELIST_ADJ: return GL_LINES_ADJACENCY;
        case D3D11_PRIMITIVE_TOPOLOGY_LINESTRIP_ADJ: return GL_LINE_STRIP_ADJACENCY;
        case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST_ADJ: return GL_TRIANGLES_ADJACENCY;
        case D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP_ADJ: return GL_TRIANGLE_STRIP_ADJACENCY;
        default: return GL_NONE;
    }
}

bool Context::PrepareFramebuffer() {
    if (dirtyFramebuffer_) {
        dirtyFramebuffer_ = false;
        RenderTargetView* targets[kTargets];
        bool any = depthView_.Get() != nullptr;
        for (int i = 0; i < kTargets; ++i) {
            targets[i] = renderTargets_[i].Get();
            any |= targets[i] != nullptr;
        }
        // Nothing bound: Direct3D draws and writes nothing.
        framebuffer_ = any ? device_->Framebuffers().Get(targets, depthView_.Get()) : 0;
    }
    if (!framebuffer_) return false;
    device_->Gl().BindDrawFramebuffer(framebuffer_);
    return true;
}

bool Context::PrepareProgram() {
    if (dirtyProgram_) {
        dirtyProgram_ = false;
        VertexShader* vs = vertexShader_.Get();
        PixelShader* ps = pixelShader_.Get();
        const ShaderRef vertex{vs->Id(), vs->GlShader(), &vs->Compiled(), &vs->BlockLayouts()};
        const ShaderRef pixel = ps ? ShaderRef{ps->Id(), ps->GlShader(), &ps->Compiled(), &ps->BlockLayouts()}
                                   : ShaderRef{0, 0, nullptr, nullptr};
        program_ = &device_->Programs().Get(vertex, pixel);
        // Without a pixel shader nothing reaches the colour targets; depth and stencil
        // still work, as in Direct3D.
        if (colorSuppressed_ != (ps == nullptr)) {
            colorSuppressed_ = ps == nullptr;
            ApplyBlend();
        }
    }
    if (!program_->name) return false;
    device_->Gl().UseProgram(program_->name);
    return true;
}

bool Context::PrepareAttributes() {
    static const std::vector<VertexAttribute> none;
    VertexShader* vs = vertexShader_.Get();
    attributes_ = nullptr;
    if (vs->Compiled().inputs.empty()) {
        attributes_ = &none;
    } else if (!inputLayout_) {
        LogInvalid("Draw", "the vertex shader reads inputs but no input layout is set; nothing is drawn");
        return false;
    } else {
        attributes_ = inputLayout_->AttributesFor(vs->Id(), vs->Compiled());
        if (!attributes_) return false;
    }
    const GLuint vao = device_->VertexArray();
    uint32_t enabled = 0;
    for (const VertexAttribute& a : *attributes_) {
        if (a.location >= 32) continue;
        if (!vertexBuffers_[a.slot].buffer) {
            // An unbound slot reads zeros.
            glDisableVertexArrayAttrib(vao, a.location);
            if (a.integer)
                glVertexAttribI4i(a.location, 0, 0, 0, 0);
            else
                glVertexAttrib4f(a.location, 0, 0, 0, 0);
            continue;
        }
        if (a.integer)
            glVertexArrayAttribIFormat(vao, a.location, a.format->vertexSize, a.format->vertexType, a.offset);
        else
            glVertexArrayAttribFormat(vao, a.location, a.format->vertexSize, a.format->vertexType,
                                      a.format->vertexNormalized ? GL_TRUE : GL_FALSE, a.offset);
        glVertexArrayAttribBinding(vao, a.location, a.slot);
        glVertexArrayBindingDivisor(vao, a.slot, a.divisor);
        glEnableVertexArrayAttrib(vao, a.location);
        enabled |= 1u << a.location;
    }
    for (uint32_t loc = 0; loc < 32; ++loc)
        if ((enabledAttributes_ & (1u << loc)) && !(enabled & (1u << loc))) glDisableVertexArrayAttrib(vao, loc);
    enabledAttributes_ = enabled;
    return true;
}

bool Context::PrepareVertexInput() {
    if (dirtyAttributes_) {
        dirtyAttributes_ = false;
        dirtyVertexBuffers_ = true;
        if (!PrepareAttributes()) {
            dirtyAttributes_ = true;
            return false;
        }
    }
    if (!attributes_) return false;
    const GLuint vao = device_->VertexArray();
    for (const VertexAttribute& a : *attributes_) {
        VertexBinding& v = vertexBuffers_[a.slot];
        if (!v.buffer) continue;
        const GLuint name = v.buffer->GlBuffer();  // also brings a rewritten copy up to date
        if (dirtyVertexBuffers_) glVertexArrayVertexBuffer(vao, a.slot, name, v.offset, static_cast<GLsizei>(v.stride));
    }
    dirtyVertexBuffers_ = false;
    return true;
}

void Context::PrepareConstants() {
    GlState& gl = device_->Gl();
    for (const ProgramBlock& b : program_->blocks) {
        if (b.block->glSize == 0) continue;
        Buffer* buffer = stages_[b.stage].constants[b.slot].Get();
        // An unbound constant buffer reads zeros.
        const GLuint name = buffer ? buffer->UniformSource(*b.block, b.layoutId) : device_->ZeroUniformBuffer();
        gl.BindUniformBuffer(UniformBinding(b.stage, b.slot), name, 0, b.block->glSize);
    }
}

void Context::PrepareTextures() {
    GlState& gl = device_->Gl();
    for (const ProgramSampler& s : program_->samplers) {
        const StageBindings& stage = stages_[s.stage];
        const bool cube = s.dimension == hlsl::TextureDimension::TextureCube;
        ShaderResourceView* view = stage.views[s.textureSlot].Get();
        GLuint texture;
        if (view && view->IsCube() == cube) {
            texture = view->GlTexture();
        } else {
            if (view) LogInvalid("Draw", "a view of the wrong dimension is bound to register t%u; it reads zeros",
                                 s.textureSlot);
            texture = device_->ZeroTexture(cube ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D);  // a null view reads zeros
        }
        gl.BindTexture(s.unit, texture);
        GLuint sampler = 0;
        if (s.samplerSlot != hlsl::SamplerBinding::kNoSampler) {
            SamplerState* state = stage.samplers[s.samplerSlot].Get();
            sampler = state ? state->GlSampler() : device_->DefaultSampler();
        }
        gl.BindSampler(s.unit, sampler);
    }
}

bool Context::PrepareDraw() {
    if (!vertexShader_) return false;  // Direct3D draws nothing without a vertex shader
    if (GlTopology() == GL_NONE) {
        LogInvalid("Draw", "no primitive topology (or a patch list) is set; nothing is drawn");
        return false;
    }
    if (viewportCount_ == 0) {
        LogInvalid("Draw", "no viewport is set; nothing is drawn");
        return false;
    }
    if (!(sampleMask_ & 1)) return false;  // single-sampled targets: sample 0 masked off
    device_->MakeCurrent();
    if (!PrepareFramebuffer() || !PrepareProgram() || !PrepareVertexInput()) return false;
    PrepareConstants();
    PrepareTextures();
    return true;
}

void Context::Draw(UINT vertexCount, UINT startVertex) {
    if (!vertexCount || !PrepareDraw()) return;
    glDrawArrays(GlTopology(), static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
}

void Context::DrawInstanced(UINT vertexCount, UINT instanceCount, UINT startVertex, UINT startInstance) {
    if (!vertexCount || !instanceCount || !PrepareDraw()) return;
    glDrawArraysInstancedBaseInstance(GlTopology(), static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount),
                                      static_cast<GLsizei>(instanceCount), startInstance);
}

void Context::DrawIndexed(UINT indexCount, UINT startIndex, INT baseVertex) {
    DrawIndexedInstanced(indexCount, 1, startIndex, baseVertex, 0);
}

void Context::DrawIndexedInstanced(UINT indexCount, UINT instanceCount, UINT startIndex, INT baseVertex,
                                   UINT startInstance) {
    if (!indexCount || !instanceCount) return;
    if (!indexBuffer_) {
        LogInvalid("DrawIndexed", "no index buffer is bound; nothing is drawn");
        return;
    }
    if (!PrepareDraw()) return;
    const GLuint name = indexBuffer_->GlBuffer();
    if (indexBuffer_->Id() != boundIndexBufferId_) {
        glVertexArrayElementBuffer(device_->VertexArray(), name);
        boundIndexBufferId_ = indexBuffer_->Id();
    }
    const bool wide = indexFormat_ == DXGI_FORMAT_R32_UINT;
    const uintptr_t offset = indexOffset_ + static_cast<uintptr_t>(startIndex) * (wide ? 4 : 2);
    glDrawElementsInstancedBaseVertexBaseInstance(GlTopology(), static_cast<GLsizei>(indexCount),
                                                  wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                                                  reinterpret_cast<const void*>(offset),
                                                  static_cast<GLsizei>(instanceCount), baseVertex, startInstance);
}

}  // namespace quarvel::d3d11
