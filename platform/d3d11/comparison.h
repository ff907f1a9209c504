// Direct3D's comparison functions in GL: depth and stencil tests, comparison samplers.
#pragma once

#include <d3d11.h>

#include "gl.h"

namespace quarvel::d3d11 {

// Creation validates the function, so nothing else reaches GL; anything else would pass.
inline GLenum GlComparison(D3D11_COMPARISON_FUNC f) {
    static const GLenum table[] = {GL_ALWAYS,  GL_NEVER,    GL_LESS,   GL_EQUAL, GL_LEQUAL,
                                   GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return f >= D3D11_COMPARISON_NEVER && f <= D3D11_COMPARISON_ALWAYS ? table[f] : GL_ALWAYS;
}

}  // namespace quarvel::d3d11
