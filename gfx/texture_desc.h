// The description every texture of the system starts from.
#pragma once

#include <d3d11.h>

// One mip level, one slice, one sample, default usage.
D3D11_TEXTURE2D_DESC TextureDesc(UINT width, UINT height, DXGI_FORMAT format, UINT bindFlags);
