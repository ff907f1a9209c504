// What each DXGI format is in OpenGL: the sized internal format of textures, the external
// format and type of uploads and readbacks, the vertex-attribute format, and what Direct3D
// lets the format do (render target, depth, blending, typeless family for views).
#pragma once

#include <dxgiformat.h>

#include <cstdint>

#include "gl.h"

namespace quarvel::d3d11 {

enum FormatFlag : uint32_t {
    kFormatColor = 1u << 0,
    kFormatDepth = 1u << 1,
    kFormatStencil = 1u << 2,
    kFormatTypeless = 1u << 3,
    kFormatRenderTarget = 1u << 4,
    kFormatBlendable = 1u << 5,
    kFormatSampled = 1u << 6,
    kFormatUint = 1u << 7,
    kFormatSint = 1u << 8,
    kFormatCompressed = 1u << 9,
    kFormatAlphaOne = 1u << 10,  // the X8 formats: alpha reads as 1
    kFormatIndex = 1u << 11,
    kFormatDisplay = 1u << 12,   // allowed as a swap-chain buffer
    kFormatDepthView = 1u << 13, // a colour-typed read of a depth texture (R24_UNORM_X8_TYPELESS...)
    kFormatStencilView = 1u << 14,
};

struct FormatInfo {
    DXGI_FORMAT format = DXGI_FORMAT_UNKNOWN;
    DXGI_FORMAT family = DXGI_FORMAT_UNKNOWN;  // the typeless format of its group
    GLenum internalFormat = 0;                 // texture storage; 0 when textures cannot use it
    GLenum uploadFormat = 0;
    GLenum uploadType = 0;
    uint32_t bytes = 0;      // per texel, or per 4x4 block of a compressed format
    uint32_t flags = 0;
    // Vertex attribute: components (GL_BGRA for the BGRA byte order) and type; 0 when the
    // format cannot be a vertex element.
    GLint vertexSize = 0;
    GLenum vertexType = 0;
    bool vertexNormalized = false;

    bool Has(uint32_t flag) const { return (flags & flag) != 0; }
    bool IsInteger() const { return Has(kFormatUint | kFormatSint); }
    uint32_t BlockSize() const { return Has(kFormatCompressed) ? 4 : 1; }
};

// Null for formats this implementation does not know (or DXGI_FORMAT_UNKNOWN).
const FormatInfo* GetFormatInfo(DXGI_FORMAT format);

// The storage a texture of `format` gets; a typeless family bound as depth-stencil is stored
// in the matching depth format. 0 when the format cannot be a texture.
GLenum TextureStorageFormat(const FormatInfo& format, bool depthStencilBound);

// True when a view of `viewFormat` may be made on a resource of `resourceFormat`: the same
// format, or a typed member of the resource's typeless family.
bool ViewFormatCompatible(DXGI_FORMAT resourceFormat, DXGI_FORMAT viewFormat);

// Bytes of one row of `width` texels (rounded up to whole blocks) and the number of rows of
// `height` texels (block rows for compressed formats).
uint32_t RowPitch(const FormatInfo& format, uint32_t width);
uint32_t RowCount(const FormatInfo& format, uint32_t height);

}  // namespace quarvel::d3d11
