#include "gfx/texture_loader.h"

#include <limits.h>
#include <stb_image.h>
#include <stdio.h>
#include <stdlib.h>

#include "gfx/graphics_context.h"

bool LoadTextureFile(const char* path, ID3D11ShaderResourceView** view) {
    *view = NULL;
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    fseek(file, 0, SEEK_END);
    const long size = ftell(file);
    fseek(file, 0, SEEK_SET);
    if (size <= 0 || size > INT_MAX) {
        fclose(file);
        return false;
    }
    unsigned char* data = (unsigned char*)malloc((size_t)size);
    if (!data) {
        fclose(file);
        return false;
    }
    const size_t read = fread(data, 1, (size_t)size, file);
    fclose(file);
    const bool loaded = LoadTextureMemory(data, (int)read, view);
    free(data);
    return loaded;
}

bool LoadTextureMemory(const void* data, int size, ID3D11ShaderResourceView** view) {
    *view = NULL;
    int width, height, channels;
    stbi_uc* pixels = stbi_load_from_memory((const stbi_uc*)data, size, &width, &height, &channels, 4);
    if (!pixels) return false;

    D3D11_TEXTURE2D_DESC desc = {};
    desc.Width = width;
    desc.Height = height;
    desc.MipLevels = 1;
    desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    desc.SampleDesc.Count = 1;
    desc.SampleDesc.Quality = 0;
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = D3D11_BIND_SHADER_RESOURCE;
    D3D11_SUBRESOURCE_DATA initial = {};
    initial.pSysMem = pixels;
    initial.SysMemPitch = width * 4;
    initial.SysMemSlicePitch = width * height * 4;
    ID3D11Texture2D* texture = NULL;
    HRESULT hr = graphics.device->CreateTexture2D(&desc, &initial, &texture);
    stbi_image_free(pixels);
    if (FAILED(hr)) return false;

    hr = graphics.device->CreateShaderResourceView(texture, NULL, view);
    texture->Release();
    return SUCCEEDED(hr) && *view;
}
