// Image files to shader-resource views (RGBA8, one mip level, alpha as stored).
#pragma once

#include <d3d11.h>

bool LoadTextureFile(const char* path, ID3D11ShaderResourceView** view);
bool LoadTextureMemory(const void* data, int size, ID3D11ShaderResourceView** view);
