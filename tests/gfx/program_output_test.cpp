// The 3D programs draw what they are for: each is run on a 64 x 64 layer-style target and
// the pixels are read back. The 2D programs are the drawing and scene tests' to check, through
// the sprites, rectangles and layers they draw.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "draw/xmath.h"
#include "gfx/graphics_context.h"
#include "gfx/shader_program.h"
#include "graphics_fixture.h"
#include "readback.h"

namespace {

constexpr int kSize = 64;

class ProgramOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(quarvel::test::OpenGraphics(kSize, kSize, false));
        target = quarvel::test::MakeTarget(kSize, kSize);
        ASSERT_NE(target.rtv, nullptr);
        Clear();
        graphics.context->OMSetBlendState(graphics.blendOpaque, nullptr, 0xFFFFFFFF);
        graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
        graphics.context->RSSetState(graphics.cullNone);
        graphics.context->PSSetSamplers(0, 1, &graphics.samplerClamp);
    }
    void TearDown() override {
        for (IUnknown* object : owned) object->Release();
        quarvel::test::ReleaseTarget(target);
        quarvel::test::CloseGraphics();
    }

    void Clear() {
        const float clear[4] = {0, 0, 0, 0};
        quarvel::test::BindAndClear(target, clear);
    }

    void Draw(ShaderProgram* program, const MeshVertex vertices[4]) {
        ASSERT_NE(program->pixelShader, nullptr);
        ID3D11DeviceContext* c = graphics.context;
        D3D11_BUFFER_DESC desc = {sizeof(MeshVertex) * 4, D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
        D3D11_SUBRESOURCE_DATA data = {vertices, 0, 0};
        ID3D11Buffer* vertexBuffer = nullptr;
        graphics.device->CreateBuffer(&desc, &data, &vertexBuffer);
        owned.push_back(vertexBuffer);
        const UINT offset = 0, stride = sizeof(MeshVertex);
        c->IASetVertexBuffers(0, 1, &vertexBuffer, &stride, &offset);
        c->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP);
        c->IASetInputLayout(program->inputLayout);
        c->VSSetShader(program->vertexShader, nullptr, 0);
        c->PSSetShader(program->pixelShader, nullptr, 0);
        // The 3D programs read cbCube at b0 and cbLight at b3 in both stages.
        ID3D11Buffer* shared[4] = {graphics.transformConstants, nullptr, nullptr, lightConstants};
        c->VSSetConstantBuffers(0, 4, shared);
        c->PSSetConstantBuffers(0, 4, shared);
        c->Draw(4, 0);
    }

    std::vector<uint8_t> Pixels() { return quarvel::test::ReadTextureBytes(target.texture); }

    RenderTarget target = {};
    std::vector<IUnknown*> owned;
};

std::vector<float> Pattern() {
    std::vector<float> rgba(kSize * kSize * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t((i * 40) ^ (i >> 9)) / 255.0f;
    return rgba;
}

// cbCube as the 3D programs read it; matrices stored transposed.
struct CubeBlock {
    float world[16], view[16], projection[16], worldViewInverse[16];
    float meshColour[4];
    float cameraPosition[3], padding;
};
static_assert(sizeof(CubeBlock) == 288);

void Transposed(float out[16], const float rows[16]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[c * 4 + r] = rows[r * 4 + c];
}

TEST_F(ProgramOutputTest, MeshProgramsTransformAndColour) {
    // A quad over the left half of clip space at depth 0.5, normal up.
    const MeshVertex quad[4] = {{-1, 1, 0.5f, 0, 0, 0, 1, 0}, {0, 1, 0.5f, 1, 0, 0, 1, 0},
                                {-1, -1, 0.5f, 0, 1, 0, 1, 0}, {0, -1, 0.5f, 1, 1, 0, 1, 0}};
    // World moves it right by 1, View down by 0.5, Projection halves y: it covers
    // columns 32 to 63 and clip y from -0.75 to 0.25, rows 24 to 55.
    const float world[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1};
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -0.5f, 0, 1};
    const float projection[16] = {1, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    CubeBlock block = {};
    Transposed(block.world, world);
    Transposed(block.view, view);
    Transposed(block.projection, projection);
    const float colour[4] = {0.2f, 0.4f, 0.6f, 0.1f};
    std::memcpy(block.meshColour, colour, sizeof colour);
    graphics.context->UpdateSubresource(graphics.transformConstants, 0, nullptr, &block, 0, 0);
    const float light[24] = {};
    graphics.context->UpdateSubresource(lightConstants, 0, nullptr, light, 0, 0);

    const std::vector<float> image = Pattern();
    ID3D11ShaderResourceView* view0 = quarvel::test::MakeTexture(kSize, kSize, image);
    owned.push_back(view0);
    graphics.context->PSSetShaderResources(0, 1, &view0);

    struct Case {
        ShaderProgram* program;
        float expected[4];  // inside the quad; the texture case is checked separately
    };
    const float hemisphere = 0.5f;
    const Case cases[] = {
        {graphics.hemisphereProgram, {hemisphere * 0.85f, hemisphere * 0.7f, hemisphere * 0.7f, hemisphere}},
        {graphics.textureProgram, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.program->pixelEntry);
        Clear();
        Draw(test.program, quad);
        const std::vector<uint8_t> pixels = Pixels();
        ASSERT_EQ(pixels.size(), size_t(kSize * kSize * 4));
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const bool inside = x >= 32 && y >= 24 && y < 56;
                const uint8_t* p = &pixels[(y * kSize + x) * 4];
                for (int k = 0; k < 4; ++k) {
                    float want = 0;
                    if (inside && test.program == graphics.textureProgram) {
                        // u runs 0..1 over columns 32..63 and v 0..1 over rows 24..55.
                        const int tx = (x - 32) * 2 + 1, ty = (y - 24) * 2 + 1;
                        want = (image[(ty * kSize + tx) * 4 + k] + image[((ty - 1) * kSize + tx - 1) * 4 + k] +
                                image[((ty - 1) * kSize + tx) * 4 + k] + image[(ty * kSize + tx - 1) * 4 + k]) /
                               4.0f;
                    } else if (inside) {
                        want = test.expected[k];
                    }
                    ASSERT_NEAR(p[k], want * 255.0f, 1.51f) << "pixel " << x << "," << y << " channel " << k;
                }
            }
    }
}

// The line-art programs take alpha from the pixel's SV_Position: z is its depth and w its
// clip-space w, so z / w falls with distance. At w = 1, as above, no wrong reading of w
// can show; the road scene draws its fence at w = 3 and its pylon rows from 16 to 116.
TEST_F(ProgramOutputTest, LineArtAlphaFallsWithDistance) {
    if (quarvel::test::UnderWine())
        GTEST_SKIP() << "Wine's pixel shaders read SV_Position.w as 1/w where Direct3D gives the clip w "
                        "(tests/windows/position_probe.cpp)";
    const float nearZ = 0.01f, farZ = 500.0f;
    const XMMATRIX projection = XMMatrixPerspectiveFovLH(XM_PIDIV4, 1.0f, nearZ, farZ);
    CubeBlock block = {};
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    Transposed(block.view, identity);
    XMFLOAT4X4 rows;
    XMStoreFloat4x4(&rows, projection);
    Transposed(block.projection, &rows.m[0][0]);
    for (float w : {3.0f, 16.0f, 116.0f}) {
        // A square facing the camera at view depth w, filling the middle of the target.
        const float h = 0.2f * w;
        const MeshVertex quad[4] = {{-h, h, w, 0, 0, 0, 0, -1}, {h, h, w, 1, 0, 0, 0, -1},
                                    {-h, -h, w, 0, 1, 0, 0, -1}, {h, -h, w, 1, 1, 0, 0, -1}};
        Transposed(block.world, identity);
        const float colour[4] = {0.0745098f, 0.0313725f, 0.2235294f, 0.0f};
        std::memcpy(block.meshColour, colour, sizeof colour);
        graphics.context->UpdateSubresource(graphics.transformConstants, 0, nullptr, &block, 0, 0);
        // The depth a left-handed projection gives, divided by w.
        const double depth = farZ / (farZ - nearZ) * (1.0 - nearZ / w);
        const double zOverW = depth / w;
        for (ShaderProgram* program : {graphics.diffuseTextureProgram, graphics.diffuseProgram}) {
            SCOPED_TRACE(::testing::Message() << program->pixelEntry << " at w = " << w);
            Clear();
            Draw(program, quad);
            const std::vector<uint8_t> pixels = Pixels();
            const uint8_t* centre = &pixels[(kSize / 2 * kSize + kSize / 2) * 4];
            const double alpha = program == graphics.diffuseProgram ? zOverW : std::pow(zOverW, 0.1);
            EXPECT_NEAR(centre[3], alpha * 255.0, 1.01);
            EXPECT_NEAR(centre[2], colour[2] * 255.0, 1.01);
        }
    }
}

}  // namespace
