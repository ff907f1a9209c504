#include "gfx/texture_loader.h"

#include <stb_image.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "gfx/file_bytes.h"
#include "gfx/graphics_context.h"
#include "gfx/texture_desc.h"

namespace {

uint32_t BigEndian32(const unsigned char* p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | (uint32_t)p[3];
}

// stb_image sizes its buffers by what a PNG's headers claim, before it reads the data they
// describe: the compressed data by each IDAT chunk's length, the pixels by the IHDR size. A
// file with a chunk longer than the bytes left, or a picture larger than its compressed data
// could hold (deflate yields at most 1032 bytes a byte, and a pixel takes at least a bit) is
// one stb refuses anyway, after reserving up to gigabytes for it. Those are turned away here,
// before stb sees them.
bool PngWithinItsBytes(const unsigned char* data, int size) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || memcmp(data, signature, 8) != 0) return false;
    const size_t end = (size_t)size;
    uint64_t width = 0, height = 0, compressed = 0;
    for (size_t at = 8; end - at >= 8;) {
        const uint32_t length = BigEndian32(data + at);
        const unsigned char* type = data + at + 4;
        // stb stops at IEND without reading its length or checksum.
        if (memcmp(type, "IEND", 4) == 0) return width * height <= compressed * 1032 * 8;
        if (length > end - at - 8 || end - at - 8 - length < 4) return false;  // data and checksum
        if (memcmp(type, "IHDR", 4) == 0 && length >= 8) {
            width = BigEndian32(data + at + 8);
            height = BigEndian32(data + at + 12);
        } else if (memcmp(type, "IDAT", 4) == 0) {
            compressed += length;
        }
        at += 12 + (size_t)length;
    }
    return false;  // no IEND: stb reads zeros past the end and refuses the file
}

}  // namespace

bool DecodePictureFile(const char* path, DecodedPicture* picture) {
    *picture = DecodedPicture();
    unsigned char* data;
    size_t size;
    if (FAILED(ReadFileBytes(path, &data, &size))) return false;
    const bool decoded = DecodePictureMemory(data, (int)size, picture);
    free(data);
    return decoded;
}

bool DecodePictureMemory(const void* data, int size, DecodedPicture* picture) {
    *picture = DecodedPicture();
    if (size < 0 || !PngWithinItsBytes((const unsigned char*)data, size)) return false;
    int channels;
    picture->pixels = stbi_load_from_memory((const stbi_uc*)data, size, &picture->width, &picture->height, &channels, 4);
    return picture->pixels != NULL;
}

namespace {

bool CreatePictureTexture(const DecodedPicture& picture, ID3D11ShaderResourceView** view) {
    *view = NULL;
    if (!picture.pixels) return false;
    const D3D11_TEXTURE2D_DESC desc =
        TextureDesc(picture.width, picture.height, DXGI_FORMAT_R8G8B8A8_UNORM, D3D11_BIND_SHADER_RESOURCE);
    D3D11_SUBRESOURCE_DATA initial = {};
    initial.pSysMem = picture.pixels;
    initial.SysMemPitch = picture.width * 4;
    initial.SysMemSlicePitch = picture.width * picture.height * 4;
    ID3D11Texture2D* texture = NULL;
    HRESULT hr = graphics.device->CreateTexture2D(&desc, &initial, &texture);
    if (FAILED(hr)) return false;

    hr = graphics.device->CreateShaderResourceView(texture, NULL, view);
    texture->Release();
    return SUCCEEDED(hr) && *view;
}

}  // namespace

bool TextureFromPicture(DecodedPicture* picture, ID3D11ShaderResourceView** view) {
    const bool loaded = CreatePictureTexture(*picture, view);
    if (picture->pixels) stbi_image_free(picture->pixels);
    *picture = DecodedPicture();
    return loaded;
}

bool LoadTextureFile(const char* path, ID3D11ShaderResourceView** view) {
    DecodedPicture picture;
    DecodePictureFile(path, &picture);
    return TextureFromPicture(&picture, view);
}

bool LoadTextureMemory(const void* data, int size, ID3D11ShaderResourceView** view) {
    DecodedPicture picture;
    DecodePictureMemory(data, size, &picture);
    return TextureFromPicture(&picture, view);
}
