// Getting bytes to the device: discarding maps with several draws a frame, constants
// rewritten per draw, streamed storage reused, and constant blocks whose Direct3D packing
// differs from std140.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <array>
#include <cstring>

#include "d3d11/device.h"
#include "d3d11_test_util.h"

namespace quarvel::d3d11::test {
namespace {

constexpr Rgba8 kBlack{0, 0, 0, 255};

// A pixel shader writing the colour of a one-float4 constant block at b0.
const char* const kBlockColorPixelGlsl = R"(#version 450
layout(std140) uniform ps_cbColor { vec4 color; };
layout(location = 0) out vec4 target0;
void main() { target0 = color; }
)";

hlsl::ConstantBlock Block(const char* glslName, uint32_t slot, uint32_t d3dSize, uint32_t glSize,
                          std::vector<hlsl::CopyRange> repack = {}) {
    return {glslName, glslName, slot, d3dSize, glSize, std::move(repack)};
}

class D3d11BufferTest : public DeviceTest {
protected:
    void TearDown() override {
        blockPs_.Reset();
        DeviceTest::TearDown();
    }
    void UseBlockColorShader() {
        const std::vector<uint8_t> ps = PixelBlob(kBlockColorPixelGlsl, {Block("ps_cbColor", 0, 16, 16)});
        ASSERT_EQ(device_->CreatePixelShader(ps.data(), ps.size(), nullptr, &blockPs_), S_OK);
        context_->PSSetShader(blockPs_.get(), nullptr, 0);
    }
    Ref<ID3D11Buffer> MakeBuffer(UINT bytes, D3D11_USAGE usage, UINT bind, const void* data = nullptr) {
        const UINT cpu = usage == D3D11_USAGE_STAGING ? D3D11_CPU_ACCESS_READ | D3D11_CPU_ACCESS_WRITE : 0;
        D3D11_BUFFER_DESC d{bytes, usage, bind, usage == D3D11_USAGE_DYNAMIC ? UINT(D3D11_CPU_ACCESS_WRITE) : cpu, 0, 0};
        const D3D11_SUBRESOURCE_DATA init = {data, 0, 0};
        Ref<ID3D11Buffer> b;
        EXPECT_EQ(device_->CreateBuffer(&d, data ? &init : nullptr, &b), S_OK);
        return b;
    }
    void BindVertices(ID3D11Buffer* buffer) {
        const UINT stride = sizeof(Vertex), offset = 0;
        context_->IASetVertexBuffers(0, 1, &buffer, &stride, &offset);
        context_->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    }
    // The quarter of a 4x4 target that quad `i` (0 to 3, row-major) covers.
    static std::vector<Vertex> QuarterQuad(int i, float r, float g, float b) {
        const float left = (i % 2) ? 0.0f : -1.0f, top = (i / 2) ? 0.0f : 1.0f;
        return Quad(left, top, left + 1, top - 1, 0, r, g, b);
    }
    Ref<ID3D11PixelShader> blockPs_;
};

TEST_F(D3d11BufferTest, EachDrawReadsTheConstantsItWasGiven) {
    // Dynamic constants rewritten by a discarding map, and default constants rewritten with
    // UpdateSubresource, as the system does per sprite.
    for (D3D11_USAGE usage : {D3D11_USAGE_DYNAMIC, D3D11_USAGE_DEFAULT}) {
        MakeTarget(4, 4);
        BindTarget();
        UseBlockColorShader();
        Clear(0, 0, 0, 1);
        Ref<ID3D11Buffer> constants = MakeBuffer(16, usage, D3D11_BIND_CONSTANT_BUFFER);
        ID3D11Buffer* cbs[] = {constants.get()};
        context_->PSSetConstantBuffers(0, 1, cbs);
        for (int i = 0; i < 4; ++i) {
            const float color[4] = {i == 0 ? 1.f : 0.f, i == 1 ? 1.f : 0.f, i == 2 ? 1.f : 0.f, 1};
            if (usage == D3D11_USAGE_DYNAMIC) {
                D3D11_MAPPED_SUBRESOURCE mapped{};
                ASSERT_EQ(context_->Map(constants.get(), 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped), S_OK);
                std::memcpy(mapped.pData, color, sizeof color);
                context_->Unmap(constants.get(), 0);
            } else {
                context_->UpdateSubresource(constants.get(), 0, nullptr, color, 0, 0);
            }
            DrawVertices(QuarterQuad(i, 0, 0, 0));
        }
        const std::vector<Rgba8> pixels = ReadRgba8(target_.get());
        EXPECT_EQ(pixels[0], (Rgba8{255, 0, 0, 255})) << usage;
        EXPECT_EQ(pixels[3], (Rgba8{0, 255, 0, 255})) << usage;
        EXPECT_EQ(pixels[12], (Rgba8{0, 0, 255, 255})) << usage;
        EXPECT_EQ(pixels[15], (Rgba8{0, 0, 0, 255})) << usage;
    }
}

// Direct3D packs `float a; float3 b;` into one register (b at byte 4); std140 puts b at 16.
// The block's table moves the bytes; the draw must see the Direct3D values.
TEST_F(D3d11BufferTest, RepackedConstantBlocksReadTheDirect3DLayout) {
    MakeTarget(2, 2, DXGI_FORMAT_R32G32B32A32_FLOAT);
    BindTarget();
    const std::vector<uint8_t> ps = PixelBlob(R"(#version 450
layout(std140) uniform ps_cbMixed { float a; vec3 b; int c; };
layout(location = 0) out vec4 target0;
void main() { target0 = vec4(b, a + float(c)); }
)",
                                              {Block("ps_cbMixed", 1, 32, 32, {{0, 0, 4}, {4, 16, 12}, {16, 28, 4}})});
    Ref<ID3D11PixelShader> shader;
    ASSERT_EQ(device_->CreatePixelShader(ps.data(), ps.size(), nullptr, &shader), S_OK);
    context_->PSSetShader(shader.get(), nullptr, 0);
    uint8_t d3d[32] = {};
    auto put = [&d3d](uint32_t offset, auto value) { std::memcpy(d3d + offset, &value, sizeof value); };
    put(0, 0.25f);
    put(4, 0.5f);
    put(8, 0.75f);
    put(12, 1.0f);
    put(16, int32_t(2));  // c opens the second register in Direct3D's packing
    Ref<ID3D11Buffer> constants = MakeBuffer(32, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, d3d);
    ID3D11Buffer* cbs[] = {constants.get()};
    context_->PSSetConstantBuffers(1, 1, cbs);
    DrawVertices(Quad(-1, 1, 1, -1, 0, 0, 0, 0));
    const std::vector<float> v = ReadFloat4(target_.get());
    EXPECT_EQ((std::array<float, 4>{v[0], v[1], v[2], v[3]}), (std::array<float, 4>{0.5f, 0.75f, 1.0f, 2.25f}));
}

// Direct3D reads zeros past the end of vertex, instance and index data, where GL would read
// what lies there (for a dynamic index buffer, the next buffer's indices in the ring).
TEST_F(D3d11BufferTest, ReadsPastTheEndOfABufferGiveZeros) {
    MakeTarget(4, 4);
    BindTarget();
    Clear(0, 0, 0, 1);
    auto boundBytes = [](GLuint slot) {
        GLint bound = 0;
        glGetIntegeri_v(GL_VERTEX_BINDING_BUFFER, slot, &bound);
        GLint64 size = 0;
        glGetNamedBufferParameteri64v(GLuint(bound), GL_BUFFER_SIZE, &size);
        return size;
    };
    const Vertex corners[4] = {{-1, 1, 0, 1, 0, 0, 1}, {1, 1, 0, 1, 0, 0, 1}, {-1, -1, 0, 1, 0, 0, 1},
                               {1, -1, 0, 1, 0, 0, 1}};
    Ref<ID3D11Buffer> vertices = MakeBuffer(2 * sizeof(Vertex), D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, corners);
    for (DXGI_FORMAT format : {DXGI_FORMAT_R16_UINT, DXGI_FORMAT_R32_UINT}) {
        const uint16_t narrow[3] = {0, 1, 40};
        const uint32_t wide[3] = {0, 1, 40};
        const bool isWide = format == DXGI_FORMAT_R32_UINT;
        Ref<ID3D11Buffer> indices =
            MakeBuffer(isWide ? sizeof wide : sizeof narrow, D3D11_USAGE_DEFAULT, D3D11_BIND_INDEX_BUFFER,
                       isWide ? static_cast<const void*>(wide) : static_cast<const void*>(narrow));
        BindVertices(vertices.get());
        context_->IASetIndexBuffer(indices.get(), format, 0);
        context_->DrawIndexed(3, 0, 0);
        EXPECT_GE(boundBytes(0), GLint64(41 * sizeof(Vertex))) << "GL may read vertex 40 past its buffer";
        const std::vector<Rgba8> pixels = ReadRgba8(target_.get());
        EXPECT_GT(pixels[1].r, 150) << format;
        EXPECT_EQ(pixels[1].g, 0) << format;
        EXPECT_EQ(pixels[12], kBlack) << format;
    }

    Ref<ID3D11Buffer> square = MakeBuffer(sizeof corners, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, corners);
    const uint16_t first[3] = {0, 0, 0}, next[3] = {1, 3, 2};
    Ref<ID3D11Buffer> indices = MakeBuffer(sizeof first, D3D11_USAGE_DYNAMIC, D3D11_BIND_INDEX_BUFFER, first);
    Ref<ID3D11Buffer> after = MakeBuffer(sizeof next, D3D11_USAGE_DYNAMIC, D3D11_BIND_INDEX_BUFFER, next);
    BindVertices(square.get());
    context_->IASetIndexBuffer(indices.get(), DXGI_FORMAT_R16_UINT, 0);
    context_->DrawIndexed(3, 8, 0);  // bytes 16 to 21 of a 6-byte buffer
    EXPECT_EQ(Pixel(3, 3), kBlack);

    const D3D11_INPUT_ELEMENT_DESC elements[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"COLOR", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 1, 0, D3D11_INPUT_PER_INSTANCE_DATA, 4}};
    Ref<ID3D11InputLayout> layout;
    ASSERT_EQ(device_->CreateInputLayout(elements, 2, colorVsBlob_.data(), colorVsBlob_.size(), &layout), S_OK);
    context_->IASetInputLayout(layout.get());
    const std::vector<Vertex> quad = Quad(-1, 1, 0, 0, 0, 0, 0, 0);  // the top left quarter
    const float colours[2][4] = {{0, 1, 0, 1}, {0, 1, 0, 1}};
    Ref<ID3D11Buffer> quarter = MakeBuffer(UINT(quad.size() * sizeof(Vertex)), D3D11_USAGE_DEFAULT,
                                           D3D11_BIND_VERTEX_BUFFER, quad.data());
    Ref<ID3D11Buffer> instances = MakeBuffer(sizeof colours, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, colours);
    ID3D11Buffer* both[] = {quarter.get(), instances.get()};
    const UINT strides[] = {sizeof(Vertex), 16}, offsets[] = {0, 0};
    context_->IASetVertexBuffers(0, 2, both, strides, offsets);
    context_->DrawInstanced(6, 1, 0, 4);  // instance 0 reads element 4 + 0 / 4
    EXPECT_GE(boundBytes(1), 5 * 16) << "GL may read instance element 4 past its buffer";
    EXPECT_EQ(Pixel(0, 0), (Rgba8{0, 0, 0, 0}));
}

// A byte range whose end wraps around 32 bits is refused; buffer copies stay on the GPU, and
// the indices a draw reads are read back once, not at every draw.
TEST_F(D3d11BufferTest, CopiesAndIndexChecksStayOffTheCpu) {
    const uint8_t ones[64] = {1};
    Ref<ID3D11Buffer> from = MakeBuffer(64, D3D11_USAGE_STAGING, 0, ones), to = MakeBuffer(64, D3D11_USAGE_STAGING, 0);
    const D3D11_BOX box{0, 0, 0, 32, 1, 1};
    context_->CopySubresourceRegion(to.get(), 0, 0xFFFFFFF0u, 0, 0, from.get(), 0, &box);
    D3D11_MAPPED_SUBRESOURCE mapped{};
    ASSERT_EQ(context_->Map(to.get(), 0, D3D11_MAP_READ, 0, &mapped), S_OK);
    EXPECT_EQ(static_cast<const uint8_t*>(mapped.pData)[0], 0);
    context_->Unmap(to.get(), 0);

    MakeTarget(4, 4);
    BindTarget();
    const Vertex corners[3] = {{-1, 1, 0, 1, 0, 0, 1}, {1, 1, 0, 1, 0, 0, 1}, {-1, -1, 0, 1, 0, 0, 1}};
    const uint16_t list[6] = {0, 1, 2, 0, 1, 40};  // only the first triangle is drawn
    Ref<ID3D11Buffer> vertices = MakeBuffer(sizeof corners, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, corners);
    Ref<ID3D11Buffer> copy = MakeBuffer(sizeof corners, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER);
    Ref<ID3D11Buffer> indices = MakeBuffer(sizeof list, D3D11_USAGE_DEFAULT, D3D11_BIND_INDEX_BUFFER, list);
    context_->IASetIndexBuffer(indices.get(), DXGI_FORMAT_R16_UINT, 0);
    BindVertices(vertices.get());
    context_->DrawIndexed(3, 0, 0);
    Hooks().readBacks = 0;
    context_->CopyResource(copy.get(), vertices.get());
    BindVertices(copy.get());
    for (int i = 0; i < 3; ++i) context_->DrawIndexed(3, 0, 0);
    EXPECT_EQ(Hooks().readBacks, 0);
    EXPECT_EQ(Pixel(0, 0), (Rgba8{255, 0, 0, 255}));
}

// Block A set once, B rewritten before every draw: when B's copy fills the storage A's copy
// lies in, that storage must not come back while the draw being prepared still reads A.
TEST_F(D3d11BufferTest, StreamedStorageIsNotReusedByTheDrawThatReadsIt) {
    MakeTarget(4, 4);
    BindTarget();
    const std::vector<uint8_t> ps = PixelBlob(R"(#version 450
layout(std140) uniform ps_cbA { vec4 color; };
layout(std140) uniform ps_cbB { vec4 v[4096]; };
layout(location = 0) out vec4 target0;
void main() { target0 = color + v[0]; }
)",
                                              {Block("ps_cbA", 0, 16, 16), Block("ps_cbB", 1, 65536, 65536)});
    ASSERT_EQ(device_->CreatePixelShader(ps.data(), ps.size(), nullptr, &blockPs_), S_OK);
    context_->PSSetShader(blockPs_.get(), nullptr, 0);
    const float red[4] = {1, 0, 0, 1};
    const std::vector<uint8_t> zeros(65536);
    Ref<ID3D11Buffer> a = MakeBuffer(16, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, red);
    Ref<ID3D11Buffer> b = MakeBuffer(65536, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, zeros.data());
    ID3D11Buffer* cbs[] = {a.get(), b.get()};
    context_->PSSetConstantBuffers(0, 2, cbs);
    Hooks().gpu = GlHooks::Gpu::Instant;
    for (int i = 0; i < 64; ++i) {
        if (i == 63) ReadRgba8(target_.get());
        context_->UpdateSubresource(b.get(), 0, nullptr, zeros.data(), 0, 0);
        DrawVertices(Quad(-1, 1, 1, -1, 0, 0, 0, 0));  // from a default buffer
    }
    EXPECT_EQ(Pixel(0, 0), (Rgba8{255, 0, 0, 255}));
}

// Streamed storage in small pieces: reuse, growth and freeing with little data.
class D3d11StreamTest : public D3d11BufferTest {
protected:
    static constexpr UINT kChunk = 64 << 10;
    void SetUp() override {
        StreamRing::SetChunkBytesForTesting(kChunk);
        D3d11BufferTest::SetUp();
        StreamRing::SetChunkBytesForTesting(0);
    }
    GLsizeiptr Capacity() { return static_cast<Device*>(device_.get())->Stream().Capacity(); }
    void* Discard(ID3D11Buffer* buffer, const void* data = nullptr, size_t size = 0) {
        D3D11_MAPPED_SUBRESOURCE mapped{};
        EXPECT_EQ(context_->Map(buffer, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped), S_OK);
        if (data && mapped.pData) std::memcpy(mapped.pData, data, size);
        context_->Unmap(buffer, 0);
        return mapped.pData;
    }
};

// Each draw reads the vertices its discard was given, and a slice stays until the fence after
// the last draw reading it has passed, past a discard, an older fence and a timed-out wait.
TEST_F(D3d11StreamTest, ASliceStaysUntilTheLastDrawReadingItIsDone) {
    MakeTarget(4, 4);
    BindTarget();
    const std::vector<Vertex> quad = QuarterQuad(0, 1, 0, 0);
    const UINT bytes = UINT(quad.size() * sizeof(Vertex)), pinnedBytes = kChunk / 3;  // too big to move
    Ref<ID3D11Buffer> pinned = MakeBuffer(pinnedBytes, D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER);
    auto* const read = static_cast<uint8_t*>(Discard(pinned.get(), quad.data(), bytes));
    Ref<ID3D11Buffer> churn = MakeBuffer(kChunk / 4, D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER);
    for (int i = 0; i < 4; ++i) Discard(churn.get());
    ReadRgba8(target_.get());
    Hooks().gpu = GlHooks::Gpu::Frozen;
    BindVertices(pinned.get());
    context_->Draw(6, 0);
    Discard(pinned.get());
    BindVertices(churn.get());
    const Rgba8 colours[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
    for (int i = 0; i < 400; ++i) {
        const Rgba8 c = colours[i % 4];
        const std::vector<Vertex> q = QuarterQuad(i % 4, c.r / 255.f, c.g / 255.f, c.b / 255.f);
        const auto* slice = static_cast<const uint8_t*>(Discard(churn.get(), q.data(), bytes));
        context_->Draw(6, 0);
        ASSERT_TRUE(slice + kChunk / 4 <= read || slice >= read + pinnedBytes) << "map " << i;
    }
    const std::vector<Rgba8> pixels = ReadRgba8(target_.get());
    EXPECT_EQ((std::array<Rgba8, 4>{pixels[0], pixels[3], pixels[12], pixels[15]}),
              (std::array<Rgba8, 4>{colours[0], colours[1], colours[2], colours[3]}));
}

// Frames with small buffers kept a while, oversized discards and failing fences: storage stays
// bounded by live data, is given back once idle, and kept contents survive their moves.
TEST_F(D3d11StreamTest, StorageStaysBoundedByLiveData) {
    MakeTarget(4, 4);
    BindTarget();
    UseBlockColorShader();
    Ref<ID3D11Buffer> colour = MakeBuffer(16, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER);
    ID3D11Buffer* cbs[] = {colour.get()};
    context_->PSSetConstantBuffers(0, 1, cbs);
    Ref<ID3D11Buffer> stream = MakeBuffer(4096, D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER);
    Ref<ID3D11Buffer> large = MakeBuffer(3 * kChunk, D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER);
    const std::vector<Vertex> quad = QuarterQuad(3, 0, 0, 0);
    const UINT bytes = UINT(quad.size() * sizeof(Vertex));
    Ref<ID3D11Buffer> kept[8];
    GLsizeiptr most = 0;
    Hooks().gpu = GlHooks::Gpu::Instant;  // in flight: independent of the machine's load
    for (int frame = 0; frame < 10000; ++frame) {
        Hooks().failFences = frame >= 5000 && frame < 6000;
        const float c[4] = {float(frame % 2), 0, 0, 1};
        context_->UpdateSubresource(colour.get(), 0, nullptr, c, 0, 0);
        BindVertices(stream.get());
        Discard(stream.get(), quad.data(), bytes);
        context_->Draw(6, 0);
        if (frame % 25 == 0) {
            Ref<ID3D11Buffer>& k = kept[frame / 25 % 8];
            D3D11_BUFFER_DESC d{bytes, D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER, D3D11_CPU_ACCESS_WRITE, 0, 0};
            const D3D11_SUBRESOURCE_DATA init = {quad.data(), 0, 0};
            ASSERT_EQ(device_->CreateBuffer(&d, &init, &k), S_OK);
            BindVertices(k.get());
            context_->Draw(6, 0);
        }
        if (frame % 50 == 0) Discard(large.get());
        context_->Flush();
        most = std::max(most, Capacity());
    }
    EXPECT_LE(most, 12 * kChunk);
    for (int frame = 0; frame < 200; ++frame) {
        Discard(stream.get(), quad.data(), bytes);
        context_->Draw(6, 0);
        context_->Flush();
    }
    EXPECT_LE(Capacity(), 6 * kChunk);
    Clear(0, 0, 0, 1);
    BindVertices(kept[0].get());
    context_->Draw(6, 0);
    EXPECT_EQ(Pixel(3, 3), (Rgba8{255, 0, 0, 255}));
}

}  // namespace
}  // namespace quarvel::d3d11::test
