// Image files to shader-resource views (RGBA8, one mip level, alpha as stored), in one step
// or in two: decoding needs no device and may run on any thread, the texture is made where
// the device is used.
#pragma once

#include <d3d11.h>

bool LoadTextureFile(const char* path, ID3D11ShaderResourceView** view);
bool LoadTextureMemory(const void* data, int size, ID3D11ShaderResourceView** view);

// RGBA8 rows, top first; null pixels when nothing was decoded.
struct DecodedPicture {
    unsigned char* pixels = NULL;
    int width = 0, height = 0;
};
bool DecodePictureFile(const char* path, DecodedPicture* picture);
bool DecodePictureMemory(const void* data, int size, DecodedPicture* picture);
// The texture from what was decoded (no pixels, no view); the pixels are let go either way.
bool TextureFromPicture(DecodedPicture* picture, ID3D11ShaderResourceView** view);
