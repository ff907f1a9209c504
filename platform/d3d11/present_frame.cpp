#include "present_frame.h"

#include <quarvel/record.h>

#include <vector>

#include "gl_state.h"

namespace quarvel::d3d11 {
namespace {

// A recording takes every presented frame as it stands in the back buffer (rows top first).
void CaptureFrame(GLuint backBufferFramebuffer, uint32_t width, uint32_t height) {
    // Kept from frame to frame: a fresh block of this size would be fresh pages each time.
    static std::vector<uint8_t> pixels;
    pixels.resize(size_t(width) * height * 4);
    // llvmpipe can hand back a frame whose clear through another framebuffer of the same
    // texture is still queued; finishing first makes the read see everything drawn.
    glFinish();
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backBufferFramebuffer);
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
    quarvel::record::FramePresented(pixels.data(), width, height);
}

}  // namespace

void PresentFrame(SDL_Window* window, GlState& state, GLuint backBufferFramebuffer, uint32_t width, uint32_t height) {
    if (quarvel::record::Active()) CaptureFrame(backBufferFramebuffer, width, height);
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    if (drawableWidth <= 0 || drawableHeight <= 0) return;  // minimised: nothing to show

    // Blits obey the scissor test and sRGB encoding; a swap chain shows the bytes as they are.
    const bool scissor = state.IsEnabled(GL_SCISSOR_TEST);
    const bool srgb = state.IsEnabled(GL_FRAMEBUFFER_SRGB);
    state.Enable(GL_SCISSOR_TEST, false);
    state.Enable(GL_FRAMEBUFFER_SRGB, false);
    state.BindDrawFramebuffer(0);
    const bool sameSize = drawableWidth == static_cast<int>(width) && drawableHeight == static_cast<int>(height);
    // The window's framebuffer keeps row 0 at the bottom: flip while copying.
    glBlitNamedFramebuffer(backBufferFramebuffer, 0, 0, 0, static_cast<GLint>(width), static_cast<GLint>(height), 0,
                           drawableHeight, drawableWidth, 0, GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(window);
    state.Enable(GL_SCISSOR_TEST, scissor);
    state.Enable(GL_FRAMEBUFFER_SRGB, srgb);
}

}  // namespace quarvel::d3d11
