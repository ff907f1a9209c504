// PNG textures and the .vbo mesh loaded into device resources.
#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop
#include <stb_image.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "gfx/graphics_context.h"
#include "gfx/mesh.h"
#include "gfx/texture_loader.h"
#include "gfx_test_support.h"
#include "platform/d3d11/live_objects.h"

namespace {

using quarvel::d3d11::LiveObjectCount;

void AppendBytes(std::vector<uint8_t>& out, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out.insert(out.end(), bytes, bytes + size);
}

std::vector<uint8_t> EncodePng(int width, int height, int channels, const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> png;
    stbi_write_png_to_func([](void* context, void* data, int size) {
        AppendBytes(*static_cast<std::vector<uint8_t>*>(context), data, size_t(size));
    }, &png, width, height, channels, pixels.data(), width * channels);
    return png;
}

class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        gfx_test::ResetIntercepts();
        ASSERT_NE(gfx_test::CreateMainWindow(64, 36), nullptr);
        ASSERT_TRUE(InitGraphics(true));
        baseline = LiveObjectCount();
        char pattern[] = "/tmp/gfx_resources_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        if (!oldCwd.empty()) {
            EXPECT_EQ(chdir(oldCwd.c_str()), 0);
        }
        ReleaseGraphics();
        gfx_test::DestroyMainWindow();
        std::system(("rm -rf '" + dir + "'").c_str());
    }

    // LoadMesh reads a fixed relative path, so each mesh test runs in its own folder.
    Mesh* LoadMeshFile(const std::vector<uint8_t>& bytes) {
        if (oldCwd.empty()) {
            char cwd[4096];
            EXPECT_NE(getcwd(cwd, sizeof cwd), nullptr);
            oldCwd = cwd;
            mkdir((dir + "/Data").c_str(), 0755);
            EXPECT_EQ(chdir(dir.c_str()), 0);
        }
        std::ofstream("Data/overheadpylon.vbo", std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return LoadMesh();
    }

    size_t baseline = 0;
    std::string dir;
    std::string oldCwd;
};

TEST_F(ResourceTest, RgbImageGetsOpaqueAlpha) {
    std::vector<uint8_t> rgb(134 * 134 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 7 + i / 402);
    const std::vector<uint8_t> png = EncodePng(134, 134, 3, rgb);
    const std::string path = dir + "/wheel.png";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));

    ID3D11ShaderResourceView* view = nullptr;
    ASSERT_TRUE(LoadTextureFile(path.c_str(), &view));
    ASSERT_NE(view, nullptr);
    ID3D11Resource* resource = nullptr;
    view->GetResource(&resource);
    ID3D11Texture2D* texture = nullptr;
    resource->QueryInterface(__uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&texture));
    resource->Release();
    ASSERT_NE(texture, nullptr);
    D3D11_TEXTURE2D_DESC desc;
    texture->GetDesc(&desc);
    texture->Release();
    EXPECT_EQ(desc.Format, DXGI_FORMAT_R8G8B8A8_UNORM);

    // Rows in file order, colour unchanged, alpha 255.
    const std::vector<uint8_t> pixels = gfx_test::ReadPixels(view);
    ASSERT_EQ(pixels.size(), 134u * 134 * 4);
    for (size_t p = 0; p < 134 * 134; ++p) {
        ASSERT_EQ(pixels[p * 4 + 0], rgb[p * 3 + 0]) << p;
        ASSERT_EQ(pixels[p * 4 + 1], rgb[p * 3 + 1]) << p;
        ASSERT_EQ(pixels[p * 4 + 2], rgb[p * 3 + 2]) << p;
        ASSERT_EQ(pixels[p * 4 + 3], 255) << p;
    }
    view->Release();
    EXPECT_EQ(LiveObjectCount(), baseline);  // the view held the only reference to the texture
}

TEST_F(ResourceTest, AlphaIsKeptWithoutPremultiplying) {
    const std::vector<uint8_t> rgba = {255, 128, 64, 0, 200, 100, 50, 1, 10, 20, 30, 128, 40, 50, 60, 255};
    const std::vector<uint8_t> png = EncodePng(2, 2, 4, rgba);
    ID3D11ShaderResourceView* view = nullptr;
    ASSERT_TRUE(LoadTextureMemory(png.data(), int(png.size()), &view));
    EXPECT_EQ(gfx_test::ReadPixels(view), rgba);
    view->Release();

    // Grey with alpha comes back as grey in all three channels.
    const std::vector<uint8_t> greyAlpha = EncodePng(1, 1, 2, {90, 33});
    ASSERT_TRUE(LoadTextureMemory(greyAlpha.data(), int(greyAlpha.size()), &view));
    EXPECT_EQ(gfx_test::ReadPixels(view), (std::vector<uint8_t>{90, 90, 90, 33}));
    view->Release();
}

// Found in part by fuzzing LoadTextureMemory: stb's other decoders took stray bytes for
// pictures, one of them 17 bytes that the TGA reader read for seconds past their end.
TEST_F(ResourceTest, OnlyWholePngPicturesAreDecoded) {
    const std::vector<uint8_t> rgba(2 * 2 * 4, 200);
    std::vector<uint8_t> cut = EncodePng(2, 2, 4, rgba), tga, bmp;
    cut.resize(cut.size() / 2);  // cut inside the image data
    auto append = [](void* context, void* data, int size) {
        AppendBytes(*static_cast<std::vector<uint8_t>*>(context), data, size_t(size));
    };
    ASSERT_TRUE(stbi_write_tga_to_func(append, &tga, 2, 2, 4, rgba.data()));
    ASSERT_TRUE(stbi_write_bmp_to_func(append, &bmp, 2, 2, 4, rgba.data()));
    std::vector<uint8_t> stray = {0x26, 0x00, 0x0a, 0x00, 0xff, 0xff, 0xff, 0xff, 0xff,
                                  0xff, 0xff, 0x89, 0x50, 0x4e, 0x60, 0x47, 0x08};
    for (const std::vector<uint8_t>* bytes : {&cut, &tga, &bmp, &stray}) {
        ID3D11ShaderResourceView* view = reinterpret_cast<ID3D11ShaderResourceView*>(1);
        EXPECT_FALSE(LoadTextureMemory(bytes->data(), int(bytes->size()), &view)) << bytes->size() << " bytes";
        EXPECT_EQ(view, nullptr);
    }
    ID3D11ShaderResourceView* view = nullptr;
    EXPECT_FALSE(LoadTextureFile((dir + "/missing.png").c_str(), &view));
    EXPECT_EQ(LiveObjectCount(), baseline);
}

void PutBigEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (24 - 8 * i));
}

// Found by fuzzing LoadTextureMemory: stb reserves buffers by what a PNG's headers claim
// before reading the data, so a couple of hundred bytes could make it reserve gigabytes. Such
// files are refused before stb is asked: its failure reason stays as it was.
TEST_F(ResourceTest, PngHeadersClaimingMoreThanTheFileHoldsAreRefusedUndecoded) {
    const std::vector<uint8_t> rgba(2 * 2 * 4, 90);
    const std::vector<uint8_t> png = EncodePng(2, 2, 4, rgba);
    const uint8_t idat[] = {'I', 'D', 'A', 'T'};
    const size_t idatLength = size_t(std::search(png.begin(), png.end(), std::begin(idat), std::end(idat)) - png.begin()) - 4;
    const size_t ihdrWidth = 16;  // signature, IHDR length and type

    std::vector<uint8_t> longChunk = png;  // an IDAT claiming 2 GiB, as the fuzzer's file did
    PutBigEndian32(longChunk, idatLength, 0x7FFFFFF0u);
    std::vector<uint8_t> tooManyPixels = png;  // 16000 x 16000 from a few bytes of data
    PutBigEndian32(tooManyPixels, ihdrWidth, 16000);
    PutBigEndian32(tooManyPixels, ihdrWidth + 4, 16000);

    for (const std::vector<uint8_t>* bytes : {&longChunk, &tooManyPixels}) {
        const char unknown[] = "not a picture";
        int w, h, c;
        ASSERT_EQ(stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(unknown), sizeof unknown, &w, &h, &c, 4),
                  nullptr);
        const std::string before = stbi_failure_reason();
        ID3D11ShaderResourceView* view = reinterpret_cast<ID3D11ShaderResourceView*>(1);
        EXPECT_FALSE(LoadTextureMemory(bytes->data(), int(bytes->size()), &view)) << bytes->size() << " bytes";
        EXPECT_EQ(view, nullptr);
        EXPECT_EQ(stbi_failure_reason(), before) << "stb decoded " << bytes->size() << " bytes";
    }
    // The unchanged file still loads.
    ID3D11ShaderResourceView* view = nullptr;
    ASSERT_TRUE(LoadTextureMemory(png.data(), int(png.size()), &view));
    view->Release();
    EXPECT_EQ(LiveObjectCount(), baseline);
}

// Found by fuzzing LoadTextureMemory under UndefinedBehaviorSanitizer: an IDAT chunk of no
// bytes ahead of the image data is legal PNG, and stb copied it through a null pointer.
TEST_F(ResourceTest, AnEmptyImageDataChunkLeavesThePictureAsItIs) {
    const std::vector<uint8_t> rgba = {255, 128, 64, 0, 200, 100, 50, 1, 10, 20, 30, 128, 40, 50, 60, 255};
    std::vector<uint8_t> png = EncodePng(2, 2, 4, rgba);
    const uint8_t idat[] = {'I', 'D', 'A', 'T'};
    const auto type = std::search(png.begin(), png.end(), std::begin(idat), std::end(idat));
    ASSERT_NE(type, png.end());
    // Length 0, the type, and the CRC-32 of the type alone, big-endian.
    const uLong crc = crc32(0, idat, 4);
    const std::vector<uint8_t> empty = {0, 0, 0, 0, 'I', 'D', 'A', 'T', uint8_t(crc >> 24), uint8_t(crc >> 16),
                                        uint8_t(crc >> 8), uint8_t(crc)};
    png.insert(type - 4, empty.begin(), empty.end());

    ID3D11ShaderResourceView* view = nullptr;
    ASSERT_TRUE(LoadTextureMemory(png.data(), int(png.size()), &view));
    EXPECT_EQ(gfx_test::ReadPixels(view), rgba);
    view->Release();
    EXPECT_EQ(LiveObjectCount(), baseline);
}

std::vector<uint8_t> VboFile(int32_t vertexCount, int32_t indexCount, const std::vector<float>& vertices,
                             const std::vector<uint32_t>& indices) {
    std::vector<uint8_t> bytes;
    AppendBytes(bytes, &vertexCount, 4);
    AppendBytes(bytes, &indexCount, 4);
    AppendBytes(bytes, vertices.data(), vertices.size() * 4);
    AppendBytes(bytes, indices.data(), indices.size() * 4);
    return bytes;
}

TEST_F(ResourceTest, MeshIsScaledAndReordered) {
    // File order: position, normal, texcoord.
    const std::vector<float> vertices = {100, 200, -40, 0, 1, 0, 0.25f, 0.5f,  //
                                         1, 2, 3, 0.6f, 0.8f, 0, 1, 1,  //
                                         -8, 0, 8, 0, 0, 2, 0, 1};
    // An index past the last vertex and a count that is not a multiple of three still load.
    Mesh* mesh = LoadMeshFile(VboFile(3, 4, vertices, {0, 1, 7, 2}));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->vertexCount, 3);
    EXPECT_EQ(mesh->indexCount, 4);
    EXPECT_EQ(mesh->texture0, nullptr);
    EXPECT_EQ(mesh->texture1, nullptr);
    EXPECT_FALSE(mesh->cullFrontFaces);

    const std::vector<uint8_t> vertexBytes = gfx_test::ReadBuffer(mesh->vertexBuffer);
    ASSERT_EQ(vertexBytes.size(), 3 * sizeof(MeshVertex));
    MeshVertex out[3];
    std::memcpy(out, vertexBytes.data(), sizeof out);
    EXPECT_EQ(out[0].x, 100 * 0.0075f);
    EXPECT_EQ(out[0].y, 200 * 0.0075f);
    EXPECT_EQ(out[0].z, -40 * 0.0075f);
    EXPECT_EQ(out[0].u, 0.25f);
    EXPECT_EQ(out[0].v, 0.5f);
    EXPECT_EQ(out[0].ny, 1.0f);
    EXPECT_EQ(out[2].nz, 2.0f);  // normals are neither scaled nor renormalised

    const std::vector<uint8_t> indexBytes = gfx_test::ReadBuffer(mesh->indexBuffer);
    ASSERT_EQ(indexBytes.size(), 16u);
    uint32_t indices[4];
    std::memcpy(indices, indexBytes.data(), sizeof indices);
    EXPECT_EQ(indices[2], 7u);
    mesh->vertexBuffer->Release();
    mesh->indexBuffer->Release();
    free(mesh);
    EXPECT_EQ(LiveObjectCount(), baseline);
}

TEST_F(ResourceTest, MalformedMeshFilesLoadNothing) {
    const std::vector<float> one(8, 1.0f);
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> files = {
        {"empty", {}},
        {"counts cut short", {3, 0, 0, 0, 3}},
        {"negative vertex count", VboFile(-1, 3, one, {0, 0, 0})},
        {"negative index count", VboFile(1, -3, one, {0, 0, 0})},
        {"vertex bytes overflow 32 bits", VboFile(0x08000000, 0, one, {})},
        {"index bytes overflow 32 bits", VboFile(1, 0x40000000, one, {0})},
        {"largest count", VboFile(0x7FFFFFFF, 0x7FFFFFFF, one, {})},
        {"one index byte missing", [&] {
             std::vector<uint8_t> bytes = VboFile(1, 3, one, {0, 0, 0});
             bytes.pop_back();
             return bytes;
         }()},
        {"vertices missing", VboFile(2, 0, one, {})},
    };
    for (const auto& [what, bytes] : files) {
        EXPECT_EQ(LoadMeshFile(bytes), nullptr) << what;
        EXPECT_EQ(LiveObjectCount(), baseline) << what;
    }
    std::remove("Data/overheadpylon.vbo");
    EXPECT_EQ(LoadMesh(), nullptr);
}

}  // namespace
