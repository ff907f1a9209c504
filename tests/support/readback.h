// Reading what the device made back the way a Direct3D program does: a staging copy and a
// read map. Rows come top first, packed without padding.
#pragma once

#include <d3d11.h>

#include <cstdint>
#include <vector>

namespace quarvel::test {

// The bytes of subresource 0 of a 2D texture (RGBA8: 4 a pixel, RGBA32F: 16, depth-stencil: 4);
// empty when it cannot be read.
std::vector<uint8_t> ReadTextureBytes(ID3D11Texture2D* texture);
// The same for the texture behind a view.
std::vector<uint8_t> ReadViewBytes(ID3D11View* view);
// The bytes of a buffer.
std::vector<uint8_t> ReadBufferBytes(ID3D11Buffer* buffer);

}  // namespace quarvel::test
