#include "readback.h"

#include <cstring>

namespace quarvel::test {
namespace {

// The immediate context of the device an object belongs to, with a reference.
ID3D11DeviceContext* ContextOf(ID3D11DeviceChild* child, ID3D11Device** device) {
    child->GetDevice(device);
    ID3D11DeviceContext* context = nullptr;
    (*device)->GetImmediateContext(&context);
    return context;
}

uint32_t BytesPerPixel(DXGI_FORMAT format) {
    return format == DXGI_FORMAT_R32G32B32A32_FLOAT || format == DXGI_FORMAT_R32G32B32A32_TYPELESS ? 16 : 4;
}

}  // namespace

std::vector<uint8_t> ReadTextureBytes(ID3D11Texture2D* texture) {
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = ContextOf(texture, &device);
    D3D11_TEXTURE2D_DESC desc;
    texture->GetDesc(&desc);
    desc.MipLevels = desc.ArraySize = 1;
    desc.Usage = D3D11_USAGE_STAGING;
    desc.BindFlags = 0;
    desc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    desc.MiscFlags = 0;
    std::vector<uint8_t> bytes;
    ID3D11Texture2D* staging = nullptr;
    if (SUCCEEDED(device->CreateTexture2D(&desc, nullptr, &staging))) {
        context->CopySubresourceRegion(staging, 0, 0, 0, 0, texture, 0, nullptr);
        D3D11_MAPPED_SUBRESOURCE mapped;
        if (SUCCEEDED(context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped))) {
            const size_t row = size_t(desc.Width) * BytesPerPixel(desc.Format);
            bytes.resize(row * desc.Height);
            for (UINT y = 0; y < desc.Height; ++y)
                std::memcpy(&bytes[y * row], static_cast<const uint8_t*>(mapped.pData) + size_t(y) * mapped.RowPitch,
                            row);
            context->Unmap(staging, 0);
        }
        staging->Release();
    }
    context->Release();
    device->Release();
    return bytes;
}

std::vector<uint8_t> ReadViewBytes(ID3D11View* view) {
    ID3D11Resource* resource = nullptr;
    view->GetResource(&resource);
    ID3D11Texture2D* texture = nullptr;
    resource->QueryInterface(__uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&texture));
    resource->Release();
    if (!texture) return {};
    std::vector<uint8_t> bytes = ReadTextureBytes(texture);
    texture->Release();
    return bytes;
}

std::vector<uint8_t> ReadBufferBytes(ID3D11Buffer* buffer) {
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = ContextOf(buffer, &device);
    D3D11_BUFFER_DESC desc;
    buffer->GetDesc(&desc);
    D3D11_BUFFER_DESC stagingDesc = {desc.ByteWidth, D3D11_USAGE_STAGING, 0, D3D11_CPU_ACCESS_READ, 0, 0};
    std::vector<uint8_t> bytes;
    ID3D11Buffer* staging = nullptr;
    if (SUCCEEDED(device->CreateBuffer(&stagingDesc, nullptr, &staging))) {
        context->CopyResource(staging, buffer);
        D3D11_MAPPED_SUBRESOURCE mapped;
        if (SUCCEEDED(context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped))) {
            const uint8_t* data = static_cast<const uint8_t*>(mapped.pData);
            bytes.assign(data, data + desc.ByteWidth);
            context->Unmap(staging, 0);
        }
        staging->Release();
    }
    context->Release();
    device->Release();
    return bytes;
}

}  // namespace quarvel::test
