// The fuzz targets' own helpers, which decide what counts as a finding: the checking device
// must refuse what Direct3D refuses, keep what it is given and count what is alive; the
// scratch directory must hold what was written and hand the working directory back.
#include <gtest/gtest.h>

#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "checking_device.h"
#include "scratch_dir.h"

namespace {

class CheckingDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { device = fuzz::CreateCheckingDevice(); }
    void TearDown() override {
        EXPECT_EQ(fuzz::LiveObjects(), 0);
        device->Release();
    }
    ID3D11Device* device = nullptr;
};

D3D11_TEXTURE2D_DESC TextureDesc(UINT width, UINT height) {
    D3D11_TEXTURE2D_DESC desc = {};
    desc.Width = width;
    desc.Height = height;
    desc.MipLevels = 1;
    desc.ArraySize = 1;
    desc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    desc.SampleDesc.Count = 1;
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = D3D11_BIND_SHADER_RESOURCE;
    return desc;
}

TEST_F(CheckingDeviceTest, BuffersAreRefusedAsDirect3DRefusesThem) {
    D3D11_BUFFER_DESC desc = {};
    desc.ByteWidth = 0;
    desc.BindFlags = D3D11_BIND_VERTEX_BUFFER;
    ID3D11Buffer* buffer = reinterpret_cast<ID3D11Buffer*>(1);
    EXPECT_EQ(device->CreateBuffer(&desc, nullptr, &buffer), E_INVALIDARG);
    EXPECT_EQ(buffer, nullptr);

    desc.ByteWidth = 16;
    D3D11_SUBRESOURCE_DATA noBytes = {};
    EXPECT_EQ(device->CreateBuffer(&desc, &noBytes, &buffer), E_INVALIDARG);
    desc.Usage = D3D11_USAGE_IMMUTABLE;
    EXPECT_EQ(device->CreateBuffer(&desc, nullptr, &buffer), E_INVALIDARG);
    EXPECT_EQ(fuzz::LiveObjects(), 0);
}

TEST_F(CheckingDeviceTest, ABufferKeepsItsDescriptionUntilItsLastRelease) {
    const uint8_t bytes[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    D3D11_BUFFER_DESC desc = {};
    desc.ByteWidth = sizeof bytes;
    desc.BindFlags = D3D11_BIND_INDEX_BUFFER;
    D3D11_SUBRESOURCE_DATA initial = {bytes, 0, 0};
    ID3D11Buffer* buffer = nullptr;
    ASSERT_EQ(device->CreateBuffer(&desc, &initial, &buffer), S_OK);
    EXPECT_EQ(device->CreateBuffer(&desc, &initial, nullptr), S_FALSE);  // validation only
    EXPECT_EQ(fuzz::LiveObjects(), 1);
    D3D11_BUFFER_DESC back = {};
    buffer->GetDesc(&back);
    EXPECT_EQ(back.ByteWidth, sizeof bytes);
    EXPECT_EQ(back.BindFlags, UINT(D3D11_BIND_INDEX_BUFFER));
    EXPECT_EQ(buffer->AddRef(), 2u);
    EXPECT_EQ(buffer->Release(), 1u);
    EXPECT_EQ(fuzz::LiveObjects(), 1);
    EXPECT_EQ(buffer->Release(), 0u);
}

TEST_F(CheckingDeviceTest, TexturesOutsideTheLimitsOrWithShortRowsAreRefused) {
    std::vector<uint8_t> texels(4 * 4 * 4);
    D3D11_SUBRESOURCE_DATA initial = {texels.data(), 16, 64};
    ID3D11Texture2D* texture = nullptr;
    for (const auto& [width, height] : {std::pair<UINT, UINT>{0, 4}, {4, 0}, {16385, 1}, {1, 16385}}) {
        const D3D11_TEXTURE2D_DESC desc = TextureDesc(width, height);
        EXPECT_EQ(device->CreateTexture2D(&desc, nullptr, &texture), E_INVALIDARG) << width << "x" << height;
        EXPECT_EQ(texture, nullptr);
    }
    D3D11_TEXTURE2D_DESC desc = TextureDesc(4, 4);
    desc.Format = DXGI_FORMAT_R32_FLOAT;  // not a format the loaders make
    EXPECT_EQ(device->CreateTexture2D(&desc, &initial, &texture), E_INVALIDARG);
    desc = TextureDesc(4, 4);
    desc.MipLevels = 0;
    EXPECT_EQ(device->CreateTexture2D(&desc, &initial, &texture), E_INVALIDARG);

    desc = TextureDesc(4, 4);
    initial.SysMemPitch = 15;  // a row is 16 bytes
    EXPECT_EQ(device->CreateTexture2D(&desc, &initial, &texture), E_INVALIDARG);
    initial.SysMemPitch = 16;
    EXPECT_EQ(device->CreateTexture2D(&desc, &initial, &texture), S_OK);
    ASSERT_NE(texture, nullptr);
    texture->Release();
}

TEST_F(CheckingDeviceTest, AViewHoldsItsTextureAlive) {
    const D3D11_TEXTURE2D_DESC desc = TextureDesc(2, 3);
    std::vector<uint8_t> texels(2 * 3 * 4, 7);
    D3D11_SUBRESOURCE_DATA initial = {texels.data(), 8, 24};
    ID3D11Texture2D* texture = nullptr;
    ASSERT_EQ(device->CreateTexture2D(&desc, &initial, &texture), S_OK);
    ID3D11ShaderResourceView* view = nullptr;
    ASSERT_EQ(device->CreateShaderResourceView(texture, nullptr, &view), S_OK);
    EXPECT_EQ(fuzz::LiveObjects(), 2);
    texture->Release();
    EXPECT_EQ(fuzz::LiveObjects(), 2);  // the view's reference

    ID3D11Resource* resource = nullptr;
    view->GetResource(&resource);
    ASSERT_EQ(resource, texture);
    D3D11_TEXTURE2D_DESC back = {};
    static_cast<ID3D11Texture2D*>(resource)->GetDesc(&back);
    EXPECT_EQ(back.Width, 2u);
    EXPECT_EQ(back.Height, 3u);
    resource->Release();
    view->Release();
    EXPECT_EQ(fuzz::LiveObjects(), 0);

    // A buffer cannot be viewed without saying which elements.
    D3D11_BUFFER_DESC bufferDesc = {};
    bufferDesc.ByteWidth = 16;
    ID3D11Buffer* buffer = nullptr;
    ASSERT_EQ(device->CreateBuffer(&bufferDesc, nullptr, &buffer), S_OK);
    EXPECT_EQ(device->CreateShaderResourceView(buffer, nullptr, &view), E_INVALIDARG);
    EXPECT_EQ(view, nullptr);
    buffer->Release();
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string WorkingDirectory() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

TEST(ScratchDirectoryTest, FilesAreReplacedAndTheWorkingDirectoryComesBack) {
    const std::string before = WorkingDirectory();
    const uint8_t first[] = {'l', 'o', 'n', 'g', 'e', 'r'};
    const uint8_t second[] = {'a', 'b'};
    fuzz::WriteScratchFile("Data/test.bin", first, sizeof first);
    fuzz::WriteScratchFile("Data/test.bin", second, sizeof second);
    const std::string path = fuzz::ScratchPath("Data/test.bin");
    ASSERT_EQ(path.front(), '/');
    EXPECT_EQ(Contents(path), "ab");
    fuzz::WriteScratchFile("Data/empty.bin", nullptr, 0);
    EXPECT_EQ(Contents(fuzz::ScratchPath("Data/empty.bin")), "");
    {
        fuzz::InScratchDirectory here;
        EXPECT_EQ(Contents("Data/test.bin"), "ab");
    }
    EXPECT_EQ(WorkingDirectory(), before);
}

}  // namespace
