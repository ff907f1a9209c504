// Getting bytes to the device: discarding maps with several draws a frame, constants
// rewritten per draw, streamed storage reused, and constant blocks whose Direct3D packing
// differs from std140.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <array>
#include <cstring>

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
    hlsl::ConstantBlock b;
    b.name = glslName;
    b.glslBlockName = glslName;
    b.slot = slot;
    b.d3dSize = d3dSize;
    b.glSize = glSize;
    b.repack = std::move(repack);
    return b;
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
        D3D11_BUFFER_DESC d{bytes, usage, bind, usage == D3D11_USAGE_DYNAMIC ? UINT(D3D11_CPU_ACCESS_WRITE) : 0u, 0, 0};
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

TEST_F(D3d11BufferTest, DiscardingMapsKeepEachDrawsVertices) {
    MakeTarget(4, 4);
    BindTarget();
    Clear(0, 0, 0, 1);
    Ref<ID3D11Buffer> dynamic = MakeBuffer(6 * sizeof(Vertex), D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER);
    BindVertices(dynamic.get());
    const float colors[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}};
    for (int i = 0; i < 4; ++i) {
        D3D11_MAPPED_SUBRESOURCE mapped{};
        ASSERT_EQ(context_->Map(dynamic.get(), 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped), S_OK);
        const std::vector<Vertex> quad = QuarterQuad(i, colors[i][0], colors[i][1], colors[i][2]);
        std::memcpy(mapped.pData, quad.data(), quad.size() * sizeof(Vertex));
        context_->Unmap(dynamic.get(), 0);
        context_->Draw(6, 0);
    }
    const std::vector<Rgba8> pixels = ReadRgba8(target_.get());
    EXPECT_EQ(pixels[0], (Rgba8{255, 0, 0, 255}));
    EXPECT_EQ(pixels[3], (Rgba8{0, 255, 0, 255}));
    EXPECT_EQ(pixels[12], (Rgba8{0, 0, 255, 255}));
    EXPECT_EQ(pixels[15], (Rgba8{255, 255, 0, 255}));
}

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

// A discard takes fresh streamed storage and used storage is handed out again once the GPU
// is past it; contents written once must survive that: a dynamic buffer's last slice, and a
// default constant buffer whose copy for the draws is made again when its storage was reused.
TEST_F(D3d11BufferTest, ContentsWrittenOnceOutliveTheReuseOfStreamedStorage) {
    MakeTarget(4, 4);
    BindTarget();
    UseBlockColorShader();
    // Far more streamed bytes than one piece of storage holds, waiting for the device now
    // and then so that what it has finished with is used again.
    const UINT churnBytes = 1 << 20;
    Ref<ID3D11Buffer> churn = MakeBuffer(churnBytes, D3D11_USAGE_DYNAMIC, D3D11_BIND_VERTEX_BUFFER);
    auto stream = [&](int maps) {
        for (int i = 0; i < maps; ++i) {
            D3D11_MAPPED_SUBRESOURCE mapped{};
            ASSERT_EQ(context_->Map(churn.get(), 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped), S_OK);
            std::memset(mapped.pData, 0, churnBytes);
            context_->Unmap(churn.get(), 0);
            if (i % 8 == 7) ReadRgba8(target_.get());
        }
    };
    const std::vector<Vertex> quad = QuarterQuad(0, 0, 0, 0);
    Ref<ID3D11Buffer> kept = MakeBuffer(UINT(quad.size() * sizeof(Vertex)), D3D11_USAGE_DYNAMIC,
                                        D3D11_BIND_VERTEX_BUFFER, quad.data());
    stream(8);
    const float red[4] = {1, 0, 0, 1};
    Ref<ID3D11Buffer> colour = MakeBuffer(16, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, red);
    ID3D11Buffer* cbs[] = {colour.get()};
    context_->PSSetConstantBuffers(0, 1, cbs);
    BindVertices(kept.get());
    context_->Draw(6, 0);
    ASSERT_EQ(Pixel(0, 0), (Rgba8{255, 0, 0, 255}));

    stream(64);
    Clear(0, 0, 0, 1);
    BindVertices(kept.get());
    context_->Draw(6, 0);
    const std::vector<Rgba8> pixels = ReadRgba8(target_.get());
    EXPECT_EQ(pixels[0], (Rgba8{255, 0, 0, 255}));
    EXPECT_EQ(pixels[15], kBlack);
}

// Direct3D reads zeros for vertices past the end of a vertex buffer, so a mesh whose indices
// point past its vertices still draws (here the third corner lands at the origin); GL must
// never be handed a vertex buffer shorter than the indices reach.
TEST_F(D3d11BufferTest, IndicesPastTheVerticesReadZerosNotOtherMemory) {
    MakeTarget(4, 4);
    BindTarget();
    UseColorShaders();
    Clear(0, 0, 0, 1);
    const Vertex corners[2] = {{-1, 1, 0, 1, 0, 0, 1}, {1, 1, 0, 1, 0, 0, 1}};
    Ref<ID3D11Buffer> vertices = MakeBuffer(sizeof corners, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, corners);
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

        GLint vertexArray = 0, bound = 0;
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
        glGetVertexArrayIndexediv(GLuint(vertexArray), 0, GL_VERTEX_BINDING_BUFFER, &bound);
        GLint64 size = 0;
        glGetNamedBufferParameteri64v(GLuint(bound), GL_BUFFER_SIZE, &size);
        EXPECT_GE(size, GLint64(41 * sizeof(Vertex))) << "GL may read vertex 40 past its buffer";

        // The top edge from (-1, 1) to (1, 1) and a corner at the origin: the upper middle
        // of the target, red fading towards the zero colour of the missing vertex.
        const std::vector<Rgba8> pixels = ReadRgba8(target_.get());
        EXPECT_GT(pixels[1].r, 150) << format;
        EXPECT_EQ(pixels[1].g, 0) << format;
        EXPECT_EQ(pixels[12], kBlack) << format;
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
    std::vector<float> v = ReadFloat4(target_.get());
    EXPECT_EQ((std::array<float, 4>{v[0], v[1], v[2], v[3]}), (std::array<float, 4>{0.5f, 0.75f, 1.0f, 2.25f}));

    // New contents reach the next draw through the cached repacked copy.
    put(0, 0.5f);
    put(16, int32_t(-1));
    context_->UpdateSubresource(constants.get(), 0, nullptr, d3d, 0, 0);
    DrawVertices(Quad(-1, 1, 1, -1, 0, 0, 0, 0));
    v = ReadFloat4(target_.get());
    EXPECT_FLOAT_EQ(v[3], -0.5f);
}

}  // namespace
}  // namespace quarvel::d3d11::test
