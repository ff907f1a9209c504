// Where pixels land and what is sampled: image orientation in targets and textures,
// SV_Position, null views, targets bound for reading and writing, viewports.
#include <array>

#include "d3d11_test_util.h"

namespace quarvel::d3d11::test {
namespace {

constexpr Rgba8 kBlack{0, 0, 0, 255};
constexpr Rgba8 kRed{255, 0, 0, 255};
constexpr Rgba8 kGreen{0, 255, 0, 255};

std::vector<Vertex> Quad(float left, float top, float right, float bottom, float z, Rgba8 c) {
    return test::Quad(left, top, right, bottom, z, c.r / 255.f, c.g / 255.f, c.b / 255.f, c.a / 255.f);
}

class D3d11RenderingTest : public DeviceTest {};

TEST_F(D3d11RenderingTest, PositionCountsPixelsFromTheTopLeftAtPixelCentres) {
    MakeTarget(4, 2, DXGI_FORMAT_R32G32B32A32_FLOAT);
    BindTarget();
    const std::vector<uint8_t> ps = PixelBlob(R"(#version 450
layout(location = 0) out vec4 target0;
void main() { target0 = vec4(gl_FragCoord.xy, gl_FragCoord.z, 1.0); }
)");
    Ref<ID3D11PixelShader> shader;
    ASSERT_EQ(device_->CreatePixelShader(ps.data(), ps.size(), nullptr, &shader), S_OK);
    context_->PSSetShader(shader.get(), nullptr, 0);
    DrawVertices(Quad(-1, 1, 1, -1, 0.25f, kRed));
    const std::vector<float> v = ReadFloat4(target_.get());
    // The first and the last pixel; depth range 0..1: z is not remapped.
    const size_t last = (1 * 4 + 3) * 4;
    EXPECT_EQ((std::array<float, 5>{v[0], v[1], v[2], v[last], v[last + 1]}),
              (std::array<float, 5>{0.5f, 0.5f, 0.25f, 3.5f, 1.5f}));
}

// GL_POINTS is 0, like GL_NONE: a point list must still draw.
TEST_F(D3d11RenderingTest, APointListDrawsEachPointOnItsPixel) {
    MakeTarget(4, 2);
    BindTarget();
    Clear(0, 0, 0, 1);
    DrawVertices({{-0.25f, 0.5f, 0, 1, 0, 0, 1}}, D3D11_PRIMITIVE_TOPOLOGY_POINTLIST);  // pixel (1, 0)'s centre
    EXPECT_EQ(Pixel(1, 0), kRed);
    EXPECT_EQ(Pixel(2, 0), kBlack);
}

class D3d11SamplingTest : public DeviceTest {
protected:
    // A pixel shader sampling t0 with s0 at the vertex colour's xy.
    void UseSamplingShader() {
        const std::vector<uint8_t> ps = PixelBlob(R"(#version 450
uniform sampler2D texture0;
in vec4 COLOR0;
layout(location = 0) out vec4 target0;
void main() { target0 = texture(texture0, COLOR0.xy); }
)",
                                                  {}, {{"texture0", 0, 0, hlsl::TextureDimension::Texture2D}});
        ASSERT_EQ(device_->CreatePixelShader(ps.data(), ps.size(), nullptr, &samplingPs_), S_OK);
        context_->PSSetShader(samplingPs_.get(), nullptr, 0);
        D3D11_SAMPLER_DESC s{};
        s.Filter = D3D11_FILTER_MIN_MAG_MIP_POINT;
        s.AddressU = s.AddressV = s.AddressW = D3D11_TEXTURE_ADDRESS_CLAMP;
        s.MaxLOD = D3D11_FLOAT32_MAX;
        ASSERT_EQ(device_->CreateSamplerState(&s, &point_), S_OK);
        ID3D11SamplerState* samplers[] = {point_.get()};
        context_->PSSetSamplers(0, 1, samplers);
    }
    // A full-target quad whose texture coordinate is (0, 0) at the top left.
    void DrawTexturedQuad() {
        static const std::vector<Vertex> quad = {{-1, 1, 0, 0, 0, 0, 0},  {1, 1, 0, 1, 0, 0, 0},
                                                 {-1, -1, 0, 0, 1, 0, 0}, {-1, -1, 0, 0, 1, 0, 0},
                                                 {1, 1, 0, 1, 0, 0, 0},   {1, -1, 0, 1, 1, 0, 0}};
        DrawVertices(quad);
    }
    void TearDown() override {
        samplingPs_.Reset();
        point_.Reset();
        DeviceTest::TearDown();
    }
    Ref<ID3D11PixelShader> samplingPs_;
    Ref<ID3D11SamplerState> point_;
};

// Row 0 of a texture, uploaded or rendered, is sampled at the top (v = 0).
TEST_F(D3d11SamplingTest, TextureRowZeroIsSampledAtTheTop) {
    const Rgba8 texels[4] = {kRed, kRed, kGreen, kGreen};  // first row red, second green
    D3D11_TEXTURE2D_DESC d{2, 2, 1, 1, DXGI_FORMAT_R8G8B8A8_UNORM, {1, 0}, D3D11_USAGE_IMMUTABLE,
                           D3D11_BIND_SHADER_RESOURCE, 0, 0};
    const D3D11_SUBRESOURCE_DATA data = {texels, 8, 16};
    Ref<ID3D11Texture2D> uploaded;
    ASSERT_EQ(device_->CreateTexture2D(&d, &data, &uploaded), S_OK);
    // The same picture drawn: the top half red into an intermediate target.
    MakeTarget(8, 8);
    Ref<ID3D11Texture2D> drawn(target_.get());
    drawn->AddRef();
    BindTarget();
    Clear(0, 1, 0, 1);
    DrawVertices(Quad(-1, 1, 1, 0, 0, kRed));

    for (ID3D11Texture2D* texture : {uploaded.get(), drawn.get()}) {
        Ref<ID3D11ShaderResourceView> view;
        ASSERT_EQ(device_->CreateShaderResourceView(texture, nullptr, &view), S_OK);
        MakeTarget(4, 4);
        BindTarget();
        UseSamplingShader();
        ID3D11ShaderResourceView* views[] = {view.get()};
        context_->PSSetShaderResources(0, 1, views);
        DrawTexturedQuad();
        EXPECT_EQ(Pixel(1, 0), kRed) << (texture == drawn.get() ? "drawn" : "uploaded");
        EXPECT_EQ(Pixel(1, 3), kGreen) << (texture == drawn.get() ? "drawn" : "uploaded");
    }
}

TEST_F(D3d11SamplingTest, NullViewSamplesZero) {
    MakeTarget(2, 2);
    BindTarget();
    UseSamplingShader();
    Clear(1, 1, 1, 1);
    ID3D11ShaderResourceView* none[] = {nullptr};
    context_->PSSetShaderResources(0, 1, none);
    DrawTexturedQuad();
    EXPECT_EQ(Pixel(0, 0), (Rgba8{0, 0, 0, 0}));
    EXPECT_EQ(Pixel(1, 1), (Rgba8{0, 0, 0, 0}));
}

TEST_F(D3d11SamplingTest, ABoundTargetCannotBeReadAtTheSameTime) {
    // Direct3D unbinds a shader view whose texture becomes a render target, so the draw
    // samples zero instead of its own output.
    MakeTarget(2, 2);
    Ref<ID3D11ShaderResourceView> selfView;
    ASSERT_EQ(device_->CreateShaderResourceView(target_.get(), nullptr, &selfView), S_OK);
    UseSamplingShader();
    ID3D11ShaderResourceView* views[] = {selfView.get()};
    context_->PSSetShaderResources(0, 1, views);
    BindTarget();
    UseSamplingShader();
    Ref<ID3D11ShaderResourceView> bound;
    context_->PSGetShaderResources(0, 1, &bound);
    EXPECT_FALSE(bound) << "binding the target did not unbind its shader view";
    context_->PSSetShaderResources(0, 1, views);
    context_->PSGetShaderResources(0, 1, &bound);
    EXPECT_FALSE(bound) << "a view of a bound target was accepted";
}

TEST_F(D3d11RenderingTest, ViewportsCountFromTheTopLeftAndKeepFractions) {
    MakeTarget(8, 8);
    BindTarget();
    Clear(0, 0, 0, 1);
    const D3D11_VIEWPORT inset = {2, 1, 4, 2, 0, 1};
    context_->RSSetViewports(1, &inset);
    DrawVertices(Quad(-1, 1, 1, -1, 0, kRed));
    std::vector<Rgba8> pixels = ReadRgba8(target_.get());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pixels[y * 8 + x], (x >= 2 && x < 6 && y >= 1 && y < 3) ? kRed : kBlack) << x << "," << y;

    // Starting at 1.6 the covered pixel centres are 2.5 to 5.5; truncating to 1 would cover 1 to 4.
    Clear(0, 0, 0, 1);
    const D3D11_VIEWPORT fractional = {1.6f, 0, 4, 8, 0, 1};
    context_->RSSetViewports(1, &fractional);
    DrawVertices(Quad(-1, 1, 1, -1, 0, kRed));
    pixels = ReadRgba8(target_.get());
    for (int x = 0; x < 8; ++x) EXPECT_EQ(pixels[x], (x >= 2 && x <= 5) ? kRed : kBlack) << x;
}

}  // namespace
}  // namespace quarvel::d3d11::test
