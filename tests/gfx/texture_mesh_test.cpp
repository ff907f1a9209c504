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
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/graphics_context.h"
#include "gfx/mesh.h"
#include "gfx/texture_loader.h"
#include "gfx_test_support.h"
#include "platform/d3d11/live_objects.h"
#include "scratch.h"

namespace {

using quarvel::d3d11::LiveObjectCount;
using Bytes = std::vector<uint8_t>;

void Append(void* out, void* data, int size) {
    static_cast<Bytes*>(out)->insert(static_cast<Bytes*>(out)->end(), (uint8_t*)data, (uint8_t*)data + size);
}

Bytes EncodePng(int width, int height, int channels, const Bytes& pixels) {
    Bytes png;
    stbi_write_png_to_func(Append, &png, width, height, channels, pixels.data(), width * channels);
    return png;
}

void PutBigEndian32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (24 - 8 * i));
}

class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        gfx_test::ResetIntercepts();
        ASSERT_NE(gfx_test::CreateMainWindow(64, 36), nullptr);
        ASSERT_TRUE(InitGraphics(true));
        baseline = LiveObjectCount();
        mkdir((scratch / "Data").c_str(), 0755);
    }
    void TearDown() override {
        ReleaseGraphics();
        gfx_test::DestroyMainWindow();
    }

    // The pixels a picture loads as, or nothing when it is refused (which must leave nothing).
    Bytes Load(const Bytes& file) {
        ID3D11ShaderResourceView* view = reinterpret_cast<ID3D11ShaderResourceView*>(1);
        const bool loaded = LoadTextureMemory(file.data(), int(file.size()), &view);
        EXPECT_EQ(loaded, view != nullptr);
        if (!loaded) return {};
        const Bytes pixels = quarvel::test::ReadViewBytes(view);
        view->Release();
        EXPECT_EQ(LiveObjectCount(), baseline);  // the view held the only reference to the texture
        return pixels;
    }
    // LoadMesh reads a fixed relative path.
    Mesh* LoadMeshFile(const Bytes& bytes) {
        EXPECT_TRUE(quarvel::test::WriteWholeFile(scratch / "Data/overheadpylon.vbo", bytes.data(), bytes.size()));
        quarvel::test::InFolder here(scratch.Path());
        return LoadMesh();
    }

    size_t baseline = 0;
    quarvel::test::ScratchFolder scratch;
};

TEST_F(ResourceTest, PicturesLoadAsRgbaRowsInFileOrderWithoutPremultiplying) {
    Bytes rgb(134 * 134 * 3), expected;
    for (size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = uint8_t(i * 7 + i / 402);
        expected.push_back(rgb[i]);
        if (i % 3 == 2) expected.push_back(255);  // opaque alpha
    }
    EXPECT_EQ(Load(EncodePng(134, 134, 3, rgb)), expected);
    const Bytes rgba = {255, 128, 64, 0, 200, 100, 50, 1, 10, 20, 30, 128, 40, 50, 60, 255};
    EXPECT_EQ(Load(EncodePng(2, 2, 4, rgba)), rgba);
    EXPECT_EQ(Load(EncodePng(1, 1, 2, {90, 33})), (Bytes{90, 90, 90, 33}));  // grey with alpha
    // Files are read whole and decoded the same way: the scene-resources test loads the
    // presentation's own.
}

// Each found by fuzzing LoadTextureMemory. stb's other decoders took stray bytes for
// pictures (17 bytes that the TGA reader read for seconds past their end); stb reserved
// buffers by what a PNG's headers claim before reading the data (gigabytes for a couple of
// hundred bytes), so such files are refused before stb is asked and its failure reason stays
// as it was; and an IDAT chunk of no bytes ahead of the data, which is legal, was copied
// through a null pointer.
TEST_F(ResourceTest, OnlyWholePngPicturesWhoseHeadersFitTheFileAreDecoded) {
    const Bytes rgba = {255, 128, 64, 0, 200, 100, 50, 1, 10, 20, 30, 128, 40, 50, 60, 255};
    const Bytes png = EncodePng(2, 2, 4, rgba);
    const uint8_t idat[] = {'I', 'D', 'A', 'T'};
    const size_t idatAt = size_t(std::search(png.begin(), png.end(), idat, idat + 4) - png.begin());
    const size_t ihdrWidth = 16;  // signature, IHDR length and type

    Bytes cut(png.begin(), png.begin() + png.size() / 2), tga, bmp;
    ASSERT_TRUE(stbi_write_tga_to_func(Append, &tga, 2, 2, 4, rgba.data()));
    ASSERT_TRUE(stbi_write_bmp_to_func(Append, &bmp, 2, 2, 4, rgba.data()));
    Bytes stray = {0x26, 0x00, 0x0a, 0x00, 0xff, 0xff, 0xff, 0xff, 0xff,
                         0xff, 0xff, 0x89, 0x50, 0x4e, 0x60, 0x47, 0x08};
    Bytes longChunk = png, tooManyPixels = png;
    PutBigEndian32(longChunk, idatAt - 4, 0x7FFFFFF0u);  // an IDAT claiming 2 GiB
    PutBigEndian32(tooManyPixels, ihdrWidth, 16000);     // 16000 x 16000 from a few bytes
    PutBigEndian32(tooManyPixels, ihdrWidth + 4, 16000);
    for (Bytes* bytes : {&cut, &tga, &bmp, &stray, &longChunk, &tooManyPixels}) {
        const char unknown[] = "not a picture";
        int w, h, c;
        EXPECT_EQ(stbi_load_from_memory((const stbi_uc*)unknown, sizeof unknown, &w, &h, &c, 4), nullptr);
        const std::string before = stbi_failure_reason();
        EXPECT_TRUE(Load(*bytes).empty()) << bytes->size() << " bytes";
        if (bytes == &longChunk || bytes == &tooManyPixels) {
            EXPECT_EQ(stbi_failure_reason(), before);
        }
    }

    // Length 0, the type, and the CRC-32 of the type alone, big-endian.
    const uLong crc = crc32(0, idat, 4);
    const Bytes empty = {0, 0, 0, 0, 'I', 'D', 'A', 'T', uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8),
                         uint8_t(crc)};
    Bytes emptyChunk = png;
    emptyChunk.insert(emptyChunk.begin() + long(idatAt) - 4, empty.begin(), empty.end());
    EXPECT_EQ(Load(emptyChunk), rgba);
}

Bytes VboFile(int32_t vertexCount, int32_t indexCount, const std::vector<float>& vertices,
              const std::vector<uint32_t>& indices) {
    Bytes bytes;
    Append(&bytes, &vertexCount, 4);
    Append(&bytes, &indexCount, 4);
    Append(&bytes, (void*)vertices.data(), int(vertices.size() * 4));
    Append(&bytes, (void*)indices.data(), int(indices.size() * 4));
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
    EXPECT_EQ(std::make_pair(mesh->vertexCount, mesh->indexCount), std::make_pair(3, 4));
    EXPECT_TRUE(!mesh->texture0 && !mesh->texture1 && !mesh->cullFrontFaces);

    const Bytes vertexBytes = quarvel::test::ReadBufferBytes(mesh->vertexBuffer);
    ASSERT_EQ(vertexBytes.size(), 3 * sizeof(MeshVertex));
    // Normals are neither scaled nor renormalised.
    const MeshVertex expected[3] = {{100 * 0.0075f, 200 * 0.0075f, -40 * 0.0075f, 0.25f, 0.5f, 0, 1, 0},
                                    {1 * 0.0075f, 2 * 0.0075f, 3 * 0.0075f, 1, 1, 0.6f, 0.8f, 0},
                                    {-8 * 0.0075f, 0, 8 * 0.0075f, 0, 1, 0, 0, 2}};
    EXPECT_EQ(std::memcmp(vertexBytes.data(), expected, sizeof expected), 0);
    const Bytes indexBytes = quarvel::test::ReadBufferBytes(mesh->indexBuffer);
    ASSERT_EQ(indexBytes.size(), 16u);
    EXPECT_EQ(indexBytes[8], 7u);
    mesh->vertexBuffer->Release();
    mesh->indexBuffer->Release();
    free(mesh);
    EXPECT_EQ(LiveObjectCount(), baseline);
}

TEST_F(ResourceTest, MalformedMeshFilesLoadNothing) {
    const std::vector<float> one(8, 1.0f);
    Bytes cutIndex = VboFile(1, 3, one, {0, 0, 0});
    cutIndex.pop_back();
    const std::vector<std::pair<const char*, Bytes>> files = {
        {"empty", {}},
        {"counts cut short", {3, 0, 0, 0, 3}},
        {"negative vertex count", VboFile(-1, 3, one, {0, 0, 0})},
        {"negative index count", VboFile(1, -3, one, {0, 0, 0})},
        {"vertex bytes overflow 32 bits", VboFile(0x08000000, 0, one, {})},
        {"index bytes overflow 32 bits", VboFile(1, 0x40000000, one, {0})},
        {"largest count", VboFile(0x7FFFFFFF, 0x7FFFFFFF, one, {})},
        {"one index byte missing", cutIndex},
        {"vertices missing", VboFile(2, 0, one, {})},
    };
    for (const auto& [what, bytes] : files) {
        EXPECT_EQ(LoadMeshFile(bytes), nullptr) << what;
        EXPECT_EQ(LiveObjectCount(), baseline) << what;
    }
    std::remove((scratch / "Data/overheadpylon.vbo").c_str());
    quarvel::test::InFolder here(scratch.Path());
    EXPECT_EQ(LoadMesh(), nullptr);
}

}  // namespace
