// The draw calls: everything marked dirty since the last draw is brought into GL here.
#include <algorithm>
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
        default: return kNoGlTopology;
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
    readSlots_ = 0;
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
        glEnableVertexArrayAttrib(vao, a.location);
        enabled |= 1u << a.location;
        const uint32_t bit = 1u << a.slot;
        if (!(readSlots_ & bit)) {
            readSlots_ |= bit;
            slotExtent_[a.slot] = 0;
            slotDivisor_[a.slot] = a.divisor;
            glVertexArrayBindingDivisor(vao, a.slot, a.divisor);
        }
        slotExtent_[a.slot] = std::max(slotExtent_[a.slot], a.offset + a.format->bytes);
    }
    for (uint32_t loc = 0; loc < 32; ++loc)
        if ((enabledAttributes_ & (1u << loc)) && !(enabled & (1u << loc))) glDisableVertexArrayAttrib(vao, loc);
    enabledAttributes_ = enabled;
    return true;
}

// Direct3D reads zeros past the end of a vertex buffer; GL would read whatever lies there,
// so such a draw reads a copy padded with zeros instead.
bool Context::PrepareVertexInput(uint64_t vertexEnd, uint64_t startInstance, uint64_t instanceCount) {
    if (dirtyAttributes_) {
        dirtyAttributes_ = false;
        if (!PrepareAttributes()) {
            dirtyAttributes_ = true;
            return false;
        }
    }
    if (!attributes_) return false;
    const GLuint vao = device_->VertexArray();
    for (uint32_t slots = readSlots_; slots; slots &= slots - 1) {
        const int slot = __builtin_ctz(slots);
        VertexBinding& v = vertexBuffers_[slot];
        if (!v.buffer) continue;
        GlRange range = v.buffer->SourceForDraw();
        const uint32_t divisor = slotDivisor_[slot];
        // Instance i reads element startInstance + i / divisor.
        const uint64_t elements = divisor ? startInstance + (instanceCount - 1) / divisor + 1 : vertexEnd;
        if (elements) {
            const uint64_t reach = uint64_t(v.offset) + (elements - 1) * v.stride + slotExtent_[slot];
            if (reach > v.buffer->Desc().ByteWidth) {
                if (reach > kMaxZeroPadding) {
                    LogUnsupported("Draw", "vertices read more than 64 MiB past the end of a vertex buffer (nothing "
                                           "is drawn)");
                    return false;
                }
                range = v.buffer->ZeroPadded(static_cast<GLsizeiptr>(reach));
                if (!range.buffer) return false;
            }
        }
        const GLintptr offset = range.offset + static_cast<GLintptr>(v.offset);
        BoundSlot& bound = boundSlots_[slot];
        if (bound.buffer != range.buffer || bound.offset != offset || bound.stride != GLsizei(v.stride)) {
            glVertexArrayVertexBuffer(vao, slot, range.buffer, offset, static_cast<GLsizei>(v.stride));
            bound = {range.buffer, offset, static_cast<GLsizei>(v.stride)};
        }
    }
    return true;
}

void Context::PrepareConstants() {
    GlState& gl = device_->Gl();
    for (const ProgramBlock& b : program_->blocks) {
        if (b.block->glSize == 0) continue;
        Buffer* buffer = stages_[b.stage].constants[b.slot].Get();
        // An unbound constant buffer reads zeros.
        GlRange range = buffer ? buffer->UniformSource(*b.block, b.layoutId) : GlRange{};
        if (!range.buffer) {
            if (buffer) LogError("Draw", "no streamed storage for a constant block; the draw reads zeros for it");
            range = {device_->ZeroUniformBuffer(), 0};
        }
        gl.BindUniformBuffer(UniformBinding(b.stage, b.slot), range.buffer, range.offset, b.block->glSize);
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

bool Context::PrepareDraw(uint64_t vertexEnd, uint64_t startInstance, uint64_t instanceCount) {
    if (!vertexShader_) return false;  // Direct3D draws nothing without a vertex shader
    if (GlTopology() == kNoGlTopology) {
        LogInvalid("Draw", "no primitive topology (or a patch list) is set; nothing is drawn");
        return false;
    }
    if (viewportCount_ == 0) {
        LogInvalid("Draw", "no viewport is set; nothing is drawn");
        return false;
    }
    if (!(sampleMask_ & 1)) return false;  // single-sampled targets: sample 0 masked off
    device_->MakeCurrent();
    if (!PrepareFramebuffer() || !PrepareProgram() || !PrepareVertexInput(vertexEnd, startInstance, instanceCount))
        return false;
    PrepareConstants();
    PrepareTextures();
    return true;
}

void Context::Draw(UINT vertexCount, UINT startVertex) {
    if (!vertexCount || !PrepareDraw(uint64_t(startVertex) + vertexCount, 0, 1)) return;
    glDrawArrays(GlTopology(), static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
    device_->Stream().DrawIssued();
}

void Context::DrawInstanced(UINT vertexCount, UINT instanceCount, UINT startVertex, UINT startInstance) {
    if (!vertexCount || !instanceCount ||
        !PrepareDraw(uint64_t(startVertex) + vertexCount, startInstance, instanceCount))
        return;
    glDrawArraysInstancedBaseInstance(GlTopology(), static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount),
                                      static_cast<GLsizei>(instanceCount), startInstance);
    device_->Stream().DrawIssued();
}

void Context::DrawIndexed(UINT indexCount, UINT startIndex, INT baseVertex) {
    DrawIndexedInstanced(indexCount, 1, startIndex, baseVertex, 0);
}

// One past the highest vertex the indices reach: from what the index buffer is known to
// hold, and only when that reaches past a vertex buffer from the draw's indices themselves.
uint64_t Context::IndexedVertexEnd(UINT indexCount, UINT startIndex, INT baseVertex) {
    const bool wide = indexFormat_ == DXGI_FORMAT_R32_UINT;
    auto end = [baseVertex](uint64_t maxIndex) {
        const int64_t last = int64_t(maxIndex) + baseVertex;
        return last < 0 ? uint64_t(0) : uint64_t(last) + 1;
    };
    const uint64_t bound = end(indexBuffer_->IndexBound(wide));
    for (uint32_t slots = readSlots_; slots; slots &= slots - 1) {
        const int slot = __builtin_ctz(slots);
        const VertexBinding& v = vertexBuffers_[slot];
        if (!v.buffer || slotDivisor_[slot]) continue;
        const uint64_t reach = uint64_t(v.offset) + (bound ? (bound - 1) * v.stride : 0) + slotExtent_[slot];
        if (reach <= v.buffer->Desc().ByteWidth) continue;
        const uint64_t offset = indexOffset_ + uint64_t(startIndex) * (wide ? 4 : 2);
        return end(indexBuffer_->MaxIndex(offset, indexCount, wide));
    }
    return bound;
}

void Context::DrawIndexedInstanced(UINT indexCount, UINT instanceCount, UINT startIndex, INT baseVertex,
                                   UINT startInstance) {
    if (!indexCount || !instanceCount) return;
    if (!indexBuffer_) {
        LogInvalid("DrawIndexed", "no index buffer is bound; nothing is drawn");
        return;
    }
    // The vertex layout must be known before the indices can be measured against it.
    if (dirtyAttributes_ && vertexShader_) {
        dirtyAttributes_ = false;
        device_->MakeCurrent();
        if (!PrepareAttributes()) {
            dirtyAttributes_ = true;
            return;
        }
    }
    const uint64_t vertexEnd = IndexedVertexEnd(indexCount, startIndex, baseVertex);
    if (!PrepareDraw(vertexEnd, startInstance, instanceCount)) return;
    const bool wide = indexFormat_ == DXGI_FORMAT_R32_UINT;
    const uint64_t first = indexOffset_ + uint64_t(startIndex) * (wide ? 4 : 2);
    const uint64_t end = first + uint64_t(indexCount) * (wide ? 4 : 2);
    GlRange indices = indexBuffer_->SourceForDraw();
    // Indices past the end of the buffer are 0 in Direct3D; GL would read what follows.
    if (end > indexBuffer_->Desc().ByteWidth) {
        if (end > kMaxZeroPadding) {
            LogUnsupported("DrawIndexed", "indices read more than 64 MiB past the end of an index buffer (nothing is "
                                          "drawn)");
            return;
        }
        indices = indexBuffer_->ZeroPadded(static_cast<GLsizeiptr>(end));
        if (!indices.buffer) return;
    }
    if (indices.buffer != boundElementBuffer_) {
        glVertexArrayElementBuffer(device_->VertexArray(), indices.buffer);
        boundElementBuffer_ = indices.buffer;
    }
    const uintptr_t offset = static_cast<uintptr_t>(indices.offset + first);
    glDrawElementsInstancedBaseVertexBaseInstance(GlTopology(), static_cast<GLsizei>(indexCount),
                                                  wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                                                  reinterpret_cast<const void*>(offset),
                                                  static_cast<GLsizei>(instanceCount), baseVertex, startInstance);
    device_->Stream().DrawIssued();
}

}  // namespace quarvel::d3d11
