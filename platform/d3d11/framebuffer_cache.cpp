#include "framebuffer_cache.h"

#include "depth_stencil_view.h"
#include "gl_state.h"
#include "log.h"
#include "render_target_view.h"

namespace quarvel::d3d11 {

GLuint FramebufferCache::Get(RenderTargetView* const* targets, DepthStencilView* depth) {
    Key key{};
    for (int i = 0; i < kTargets; ++i) key[i] = targets[i] ? targets[i]->Id() : 0;
    key[kTargets] = depth ? depth->Id() : 0;
    auto it = framebuffers_.find(key);
    if (it != framebuffers_.end()) return it->second;

    GLuint framebuffer = 0;
    glCreateFramebuffers(1, &framebuffer);
    GLenum drawBuffers[kTargets];
    int count = 0;
    for (int i = 0; i < kTargets; ++i) {
        drawBuffers[i] = GL_NONE;
        if (!targets[i]) continue;
        targets[i]->AttachTo(framebuffer, GL_COLOR_ATTACHMENT0 + i);
        drawBuffers[i] = GL_COLOR_ATTACHMENT0 + i;
        count = i + 1;
    }
    if (count)
        glNamedFramebufferDrawBuffers(framebuffer, count, drawBuffers);
    else
        glNamedFramebufferDrawBuffer(framebuffer, GL_NONE);
    GLenum readBuffer = GL_NONE;
    for (int i = kTargets - 1; i >= 0; --i)
        if (drawBuffers[i] != GL_NONE) readBuffer = drawBuffers[i];
    glNamedFramebufferReadBuffer(framebuffer, readBuffer);
    if (depth) depth->AttachTo(framebuffer);
    const GLenum status = glCheckNamedFramebufferStatus(framebuffer, GL_DRAW_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        LogError("OMSetRenderTargets", "GL cannot render to this combination of views (status 0x%x); draws to it "
                                       "are skipped",
                 status);
        glDeleteFramebuffers(1, &framebuffer);
        framebuffer = 0;
    }
    framebuffers_[key] = framebuffer;
    return framebuffer;
}

void FramebufferCache::ForgetView(uint64_t viewId) {
    for (auto it = framebuffers_.begin(); it != framebuffers_.end();) {
        bool uses = false;
        for (uint64_t id : it->first) uses |= id == viewId;
        if (!uses) {
            ++it;
            continue;
        }
        if (it->second) {
            if (state_) state_->ForgetFramebuffer(it->second);
            glDeleteFramebuffers(1, &it->second);
        }
        it = framebuffers_.erase(it);
    }
}

void FramebufferCache::Clear() {
    for (auto& entry : framebuffers_)
        if (entry.second) {
            if (state_) state_->ForgetFramebuffer(entry.second);
            glDeleteFramebuffers(1, &entry.second);
        }
    framebuffers_.clear();
}

}  // namespace quarvel::d3d11
