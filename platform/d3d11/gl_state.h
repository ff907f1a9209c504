// A shadow of the GL state the device changes, so setting a state object that matches what
// GL already has issues no GL call. Everything the device touches in GL goes through here,
// which keeps the shadow exact.
#pragma once

#include <array>
#include <cstdint>

#include "gl.h"

namespace quarvel::d3d11 {

class GlState {
public:
    static constexpr int kMaxTargets = 8;
    static constexpr int kMaxViewports = 16;
    static constexpr int kMaxUnits = 64;
    static constexpr int kMaxUniformBindings = 32;

    // Puts GL into the state the shadow starts from (the defaults plus the device's fixed
    // settings); called once on a fresh context.
    void Reset();

    void Enable(GLenum cap, bool on);
    void EnableBlend(int target, bool on);
    void ColorMask(int target, uint8_t mask);  // bit 0 red ... bit 3 alpha
    void BlendFunc(int target, GLenum src, GLenum dst, GLenum srcAlpha, GLenum dstAlpha);
    void BlendEquation(int target, GLenum color, GLenum alpha);
    void BlendColor(const float color[4]);

    void DepthMask(bool write);
    void DepthFunc(GLenum func);
    void StencilFunc(GLenum face, GLenum func, GLint ref, GLuint mask);
    void StencilOp(GLenum face, GLenum fail, GLenum depthFail, GLenum pass);
    void StencilMask(GLenum face, GLuint mask);

    void CullFace(GLenum mode);
    void FrontFace(GLenum mode);
    void PolygonMode(GLenum mode);
    void PolygonOffset(float factor, float units, float clamp);

    void Viewport(int index, float x, float y, float w, float h);
    void DepthRange(int index, double nearValue, double farValue);
    void Scissor(int index, int x, int y, int w, int h);

    void BindDrawFramebuffer(GLuint framebuffer);
    void UseProgram(GLuint program);
    void BindTexture(int unit, GLuint texture);
    void BindSampler(int unit, GLuint sampler);
    void BindUniformBuffer(int binding, GLuint buffer, GLintptr offset, GLsizeiptr size);

    // Forget a deleted object so a later object with the same name is bound again.
    void ForgetTexture(GLuint texture);
    void ForgetSampler(GLuint sampler);
    void ForgetBuffer(GLuint buffer);
    void ForgetProgram(GLuint program);
    void ForgetFramebuffer(GLuint framebuffer);

    bool IsEnabled(GLenum cap) const;
    uint8_t ColorMaskOf(int target) const { return colorMask_[target]; }
    bool DepthMaskOf() const { return depthMask_; }
    GLuint StencilWriteMask(int face) const { return stencil_[face].writeMask; }
    GLuint DrawFramebuffer() const { return drawFramebuffer_; }

    // glPolygonOffsetClamp from GL_ARB/EXT_polygon_offset_clamp, when the driver has it.
    using PolygonOffsetClampFn = void(APIENTRY*)(GLfloat, GLfloat, GLfloat);
    PolygonOffsetClampFn polygonOffsetClamp = nullptr;

private:
    static int CapIndex(GLenum cap);

    std::array<bool, 12> caps_{};
    std::array<bool, kMaxTargets> blend_{};
    std::array<uint8_t, kMaxTargets> colorMask_{};
    struct BlendFuncs {
        GLenum src, dst, srcAlpha, dstAlpha, eqColor, eqAlpha;
    };
    std::array<BlendFuncs, kMaxTargets> blendFuncs_{};
    std::array<float, 4> blendColor_{};

    bool depthMask_ = true;
    GLenum depthFunc_ = GL_LESS;
    struct Stencil {
        GLenum func = GL_ALWAYS;
        GLint ref = 0;
        GLuint readMask = ~0u;
        GLenum fail = GL_KEEP, depthFail = GL_KEEP, pass = GL_KEEP;
        GLuint writeMask = ~0u;
    };
    std::array<Stencil, 2> stencil_{};  // front, back

    GLenum cullFace_ = GL_BACK;
    GLenum frontFace_ = GL_CCW;
    GLenum polygonMode_ = GL_FILL;
    std::array<float, 3> polygonOffset_{};

    std::array<std::array<float, 4>, kMaxViewports> viewports_{};
    std::array<std::array<double, 2>, kMaxViewports> depthRanges_{};
    std::array<std::array<int, 4>, kMaxViewports> scissors_{};

    GLuint drawFramebuffer_ = 0;
    GLuint program_ = 0;
    std::array<GLuint, kMaxUnits> textures_{};
    std::array<GLuint, kMaxUnits> samplers_{};
    struct UniformBinding {
        GLuint buffer = 0;
        GLintptr offset = 0;
        GLsizeiptr size = 0;
    };
    std::array<UniformBinding, kMaxUniformBindings> uniforms_{};
};

}  // namespace quarvel::d3d11
