#include "gl_state.h"

#include <SDL2/SDL.h>

namespace quarvel::d3d11 {
namespace {
constexpr GLenum kCaps[] = {GL_CULL_FACE,         GL_DEPTH_TEST,   GL_STENCIL_TEST,      GL_SCISSOR_TEST,
                            GL_POLYGON_OFFSET_FILL, GL_DEPTH_CLAMP, GL_POLYGON_OFFSET_LINE, GL_SAMPLE_ALPHA_TO_COVERAGE,
                            GL_FRAMEBUFFER_SRGB,  GL_DITHER,       GL_MULTISAMPLE,       GL_POLYGON_OFFSET_POINT};
}

int GlState::CapIndex(GLenum cap) {
    for (int i = 0; i < static_cast<int>(sizeof kCaps / sizeof kCaps[0]); ++i)
        if (kCaps[i] == cap) return i;
    return -1;
}

void GlState::Reset() {
    // GL's own defaults.
    caps_ = {};
    caps_[CapIndex(GL_DITHER)] = true;
    caps_[CapIndex(GL_MULTISAMPLE)] = true;
    blend_ = {};
    colorMask_.fill(0xF);
    blendFuncs_.fill({GL_ONE, GL_ZERO, GL_ONE, GL_ZERO, GL_FUNC_ADD, GL_FUNC_ADD});
    blendColor_ = {};
    depthMask_ = true;
    depthFunc_ = GL_LESS;
    stencil_ = {};
    cullFace_ = GL_BACK;
    frontFace_ = GL_CCW;
    polygonMode_ = GL_FILL;
    polygonOffset_ = {};
    for (auto& d : depthRanges_) d = {0.0, 1.0};
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (auto& v : viewports_)
        v = {float(viewport[0]), float(viewport[1]), float(viewport[2]), float(viewport[3])};
    for (auto& s : scissors_) s = {viewport[0], viewport[1], viewport[2], viewport[3]};
    drawFramebuffer_ = 0;
    program_ = 0;
    textures_ = {};
    samplers_ = {};
    uniforms_ = {};

    // Direct3D has no dithering; its depth range is 0..1 with row 0 at the top; cube maps
    // filter across faces; sRGB targets encode on write.
    Enable(GL_DITHER, false);
    Enable(GL_FRAMEBUFFER_SRGB, true);
    glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    glEnable(GL_PRIMITIVE_RESTART_FIXED_INDEX);
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    polygonOffsetClamp = reinterpret_cast<PolygonOffsetClampFn>(SDL_GL_GetProcAddress("glPolygonOffsetClamp"));
    if (!polygonOffsetClamp)
        polygonOffsetClamp = reinterpret_cast<PolygonOffsetClampFn>(SDL_GL_GetProcAddress("glPolygonOffsetClampEXT"));
}

void GlState::Enable(GLenum cap, bool on) {
    const int i = CapIndex(cap);
    if (i < 0) {
        on ? glEnable(cap) : glDisable(cap);
        return;
    }
    if (caps_[i] == on) return;
    caps_[i] = on;
    on ? glEnable(cap) : glDisable(cap);
}

bool GlState::IsEnabled(GLenum cap) const {
    const int i = CapIndex(cap);
    return i >= 0 && caps_[i];
}

void GlState::EnableBlend(int target, bool on) {
    if (blend_[target] == on) return;
    blend_[target] = on;
    on ? glEnablei(GL_BLEND, target) : glDisablei(GL_BLEND, target);
}

void GlState::ColorMask(int target, uint8_t mask) {
    if (colorMask_[target] == mask) return;
    colorMask_[target] = mask;
    glColorMaski(target, mask & 1, (mask >> 1) & 1, (mask >> 2) & 1, (mask >> 3) & 1);
}

void GlState::BlendFunc(int target, GLenum src, GLenum dst, GLenum srcAlpha, GLenum dstAlpha) {
    BlendFuncs& b = blendFuncs_[target];
    if (b.src == src && b.dst == dst && b.srcAlpha == srcAlpha && b.dstAlpha == dstAlpha) return;
    b.src = src;
    b.dst = dst;
    b.srcAlpha = srcAlpha;
    b.dstAlpha = dstAlpha;
    glBlendFuncSeparatei(target, src, dst, srcAlpha, dstAlpha);
}

void GlState::BlendEquation(int target, GLenum color, GLenum alpha) {
    BlendFuncs& b = blendFuncs_[target];
    if (b.eqColor == color && b.eqAlpha == alpha) return;
    b.eqColor = color;
    b.eqAlpha = alpha;
    glBlendEquationSeparatei(target, color, alpha);
}

void GlState::BlendColor(const float color[4]) {
    if (blendColor_[0] == color[0] && blendColor_[1] == color[1] && blendColor_[2] == color[2] &&
        blendColor_[3] == color[3])
        return;
    blendColor_ = {color[0], color[1], color[2], color[3]};
    glBlendColor(color[0], color[1], color[2], color[3]);
}

void GlState::DepthMask(bool write) {
    if (depthMask_ == write) return;
    depthMask_ = write;
    glDepthMask(write ? GL_TRUE : GL_FALSE);
}

void GlState::DepthFunc(GLenum func) {
    if (depthFunc_ == func) return;
    depthFunc_ = func;
    glDepthFunc(func);
}

void GlState::StencilFunc(GLenum face, GLenum func, GLint ref, GLuint mask) {
    Stencil& s = stencil_[face == GL_FRONT ? 0 : 1];
    if (s.func == func && s.ref == ref && s.readMask == mask) return;
    s.func = func;
    s.ref = ref;
    s.readMask = mask;
    glStencilFuncSeparate(face, func, ref, mask);
}

void GlState::StencilOp(GLenum face, GLenum fail, GLenum depthFail, GLenum pass) {
    Stencil& s = stencil_[face == GL_FRONT ? 0 : 1];
    if (s.fail == fail && s.depthFail == depthFail && s.pass == pass) return;
    s.fail = fail;
    s.depthFail = depthFail;
    s.pass = pass;
    glStencilOpSeparate(face, fail, depthFail, pass);
}

void GlState::StencilMask(GLenum face, GLuint mask) {
    Stencil& s = stencil_[face == GL_FRONT ? 0 : 1];
    if (s.writeMask == mask) return;
    s.writeMask = mask;
    glStencilMaskSeparate(face, mask);
}

void GlState::CullFace(GLenum mode) {
    if (cullFace_ == mode) return;
    cullFace_ = mode;
    glCullFace(mode);
}

void GlState::FrontFace(GLenum mode) {
    if (frontFace_ == mode) return;
    frontFace_ = mode;
    glFrontFace(mode);
}

void GlState::PolygonMode(GLenum mode) {
    if (polygonMode_ == mode) return;
    polygonMode_ = mode;
    glPolygonMode(GL_FRONT_AND_BACK, mode);
}

void GlState::PolygonOffset(float factor, float units, float clamp) {
    if (polygonOffset_[0] == factor && polygonOffset_[1] == units && polygonOffset_[2] == clamp) return;
    polygonOffset_ = {factor, units, clamp};
    if (polygonOffsetClamp)
        polygonOffsetClamp(factor, units, clamp);
    else
        glPolygonOffset(factor, units);
}

void GlState::Viewport(int index, float x, float y, float w, float h) {
    auto& v = viewports_[index];
    if (v[0] == x && v[1] == y && v[2] == w && v[3] == h) return;
    v = {x, y, w, h};
    glViewportIndexedf(index, x, y, w, h);
}

void GlState::DepthRange(int index, double nearValue, double farValue) {
    auto& d = depthRanges_[index];
    if (d[0] == nearValue && d[1] == farValue) return;
    d = {nearValue, farValue};
    glDepthRangeIndexed(index, nearValue, farValue);
}

void GlState::Scissor(int index, int x, int y, int w, int h) {
    auto& s = scissors_[index];
    if (s[0] == x && s[1] == y && s[2] == w && s[3] == h) return;
    s = {x, y, w, h};
    glScissorIndexed(index, x, y, w, h);
}

void GlState::BindDrawFramebuffer(GLuint framebuffer) {
    if (drawFramebuffer_ == framebuffer) return;
    drawFramebuffer_ = framebuffer;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
}

void GlState::UseProgram(GLuint program) {
    if (program_ == program) return;
    program_ = program;
    glUseProgram(program);
}

void GlState::BindTexture(int unit, GLuint texture) {
    if (textures_[unit] == texture) return;
    textures_[unit] = texture;
    glBindTextureUnit(unit, texture);
}

void GlState::BindSampler(int unit, GLuint sampler) {
    if (samplers_[unit] == sampler) return;
    samplers_[unit] = sampler;
    glBindSampler(unit, sampler);
}

void GlState::BindUniformBuffer(int binding, GLuint buffer, GLintptr offset, GLsizeiptr size) {
    UniformBinding& u = uniforms_[binding];
    if (u.buffer == buffer && u.offset == offset && u.size == size) return;
    u = {buffer, offset, size};
    glBindBufferRange(GL_UNIFORM_BUFFER, binding, buffer, offset, size);
}

void GlState::ForgetTexture(GLuint texture) {
    for (GLuint& t : textures_)
        if (t == texture) t = 0;
}

void GlState::ForgetSampler(GLuint sampler) {
    for (GLuint& s : samplers_)
        if (s == sampler) s = 0;
}

void GlState::ForgetBuffer(GLuint buffer) {
    for (UniformBinding& u : uniforms_)
        if (u.buffer == buffer) u = {};
}

void GlState::ForgetProgram(GLuint program) {
    if (program_ != program) return;
    glUseProgram(0);  // a deleted program that is still in use would live on
    program_ = 0;
}

void GlState::ForgetFramebuffer(GLuint framebuffer) {
    if (drawFramebuffer_ == framebuffer) drawFramebuffer_ = 0;
}

}  // namespace quarvel::d3d11
