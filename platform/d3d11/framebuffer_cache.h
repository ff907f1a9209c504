// One GL framebuffer per distinct set of bound views (up to eight render targets and a
// depth-stencil view), made on first use and dropped when any of its views is destroyed.
#pragma once

#include <array>
#include <cstdint>
#include <map>

#include "gl.h"

namespace quarvel::d3d11 {

class GlState;
class RenderTargetView;
class DepthStencilView;

class FramebufferCache {
public:
    static constexpr int kTargets = 8;

    // The framebuffer with these attachments (null entries are unbound); 0 when GL finds
    // the combination incomplete (the reason is logged once).
    GLuint Get(RenderTargetView* const* targets, DepthStencilView* depth);
    void ForgetView(uint64_t viewId);
    void Clear();
    void SetState(GlState* state) { state_ = state; }

private:
    using Key = std::array<uint64_t, kTargets + 1>;
    std::map<Key, GLuint> framebuffers_;
    GlState* state_ = nullptr;
};

}  // namespace quarvel::d3d11
