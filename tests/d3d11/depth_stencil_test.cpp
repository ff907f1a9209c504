// Depth: the system's depth texture (R24G8_TYPELESS with D24_UNORM_S8_UINT and
// R24_UNORM_X8_TYPELESS views), depth tests, clears and depth clamping, read back through a
// staging copy of the depth texture.
#include <array>

#include "d3d11_test_util.h"

namespace quarvel::d3d11::test {
namespace {

constexpr Rgba8 kBlack{0, 0, 0, 255};
constexpr Rgba8 kRed{255, 0, 0, 255};
constexpr Rgba8 kGreen{0, 255, 0, 255};

class D3d11DepthStencilTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        MakeTarget(4, 4);
        D3D11_TEXTURE2D_DESC d{4, 4, 1, 1, DXGI_FORMAT_R24G8_TYPELESS, {1, 0}, D3D11_USAGE_DEFAULT,
                               D3D11_BIND_DEPTH_STENCIL | D3D11_BIND_SHADER_RESOURCE, 0, 0};
        ASSERT_EQ(device_->CreateTexture2D(&d, nullptr, &depth_), S_OK);
        const D3D11_DEPTH_STENCIL_VIEW_DESC dv{DXGI_FORMAT_D24_UNORM_S8_UINT, D3D11_DSV_DIMENSION_TEXTURE2D, 0, {}};
        ASSERT_EQ(device_->CreateDepthStencilView(depth_.get(), &dv, &depthView_), S_OK);
        D3D11_SHADER_RESOURCE_VIEW_DESC sv{};
        sv.Format = DXGI_FORMAT_R24_UNORM_X8_TYPELESS;
        sv.ViewDimension = D3D11_SRV_DIMENSION_TEXTURE2D;
        sv.Texture2D = {0, 1};
        ASSERT_EQ(device_->CreateShaderResourceView(depth_.get(), &sv, &depthShaderView_), S_OK);
        BindTarget(depthView_.get());
        Clear(0, 0, 0, 1);
    }
    void TearDown() override {
        state_.Reset();
        depthShaderView_.Reset();
        depthView_.Reset();
        depth_.Reset();
        DeviceTest::TearDown();
    }

    void SetState(const D3D11_DEPTH_STENCIL_DESC& d, UINT ref = 0) {
        ASSERT_EQ(device_->CreateDepthStencilState(&d, &state_), S_OK);
        context_->OMSetDepthStencilState(state_.get(), ref);
    }
    static D3D11_DEPTH_STENCIL_DESC DepthOn() {
        return {TRUE, D3D11_DEPTH_WRITE_MASK_ALL, D3D11_COMPARISON_LESS, FALSE, 0, 0, {}, {}};
    }
    // Depth of texel (x, y) in 0..1, from Direct3D's D24S8 layout.
    double DepthAt(int x, int y) { return (Read<uint32_t>(depth_.get())[y * 4 + x] & 0xFFFFFF) / 16777215.0; }
    void ClearDepth(float depth, uint8_t stencil = 0) {
        context_->ClearDepthStencilView(depthView_.get(), D3D11_CLEAR_DEPTH | D3D11_CLEAR_STENCIL, depth, stencil);
    }
    void FullQuad(float z, float r, float g) { DrawVertices(Quad(-1, 1, 1, -1, z, r, g, 0)); }

    Ref<ID3D11Texture2D> depth_;
    Ref<ID3D11DepthStencilView> depthView_;
    Ref<ID3D11ShaderResourceView> depthShaderView_;
    Ref<ID3D11DepthStencilState> state_;
};

TEST_F(D3d11DepthStencilTest, LessKeepsTheNearestSurfaceAndClearsSetTheDepth) {
    SetState(DepthOn());
    ClearDepth(1.0f);
    FullQuad(0.2f, 0, 1);
    FullQuad(0.5f, 1, 0);  // behind: rejected
    EXPECT_EQ(Pixel(1, 1), kGreen);
    EXPECT_NEAR(DepthAt(1, 1), 0.2, 1e-6);
    FullQuad(0.1f, 1, 0);  // in front: drawn
    EXPECT_EQ(Pixel(1, 1), kRed);

    ClearDepth(0.05f);
    EXPECT_NEAR(DepthAt(3, 3), 0.05, 1e-6);
    FullQuad(0.08f, 0, 1);
    EXPECT_EQ(Pixel(1, 1), kRed) << "a clear to 0.05 should reject z = 0.08";
}

TEST_F(D3d11DepthStencilTest, ClearsIgnoreTheWriteMaskAndDisabledDepthWritesNothing) {
    D3D11_DEPTH_STENCIL_DESC off = DepthOn();
    off.DepthEnable = FALSE;
    SetState(off);
    ClearDepth(0.7f);
    EXPECT_NEAR(DepthAt(0, 0), 0.7, 1e-6);
    FullQuad(0.9f, 0, 1);  // no test: drawn, and no depth written
    EXPECT_EQ(Pixel(0, 0), kGreen);
    EXPECT_NEAR(DepthAt(0, 0), 0.7, 1e-6);

    D3D11_DEPTH_STENCIL_DESC readOnly = DepthOn();
    readOnly.DepthWriteMask = D3D11_DEPTH_WRITE_MASK_ZERO;
    SetState(readOnly);
    FullQuad(0.3f, 1, 0);  // passes the test, writes no depth
    EXPECT_EQ(Pixel(0, 0), kRed);
    EXPECT_NEAR(DepthAt(0, 0), 0.7, 1e-6);
    ClearDepth(0.4f);
    EXPECT_NEAR(DepthAt(0, 0), 0.4, 1e-6);
}

TEST_F(D3d11DepthStencilTest, DepthClipOffClampsInsteadOfClipping) {
    context_->OMSetRenderTargets(1, std::array<ID3D11RenderTargetView*, 1>{targetView_.get()}.data(), nullptr);
    D3D11_RASTERIZER_DESC r = {D3D11_FILL_SOLID, D3D11_CULL_NONE, FALSE, 0, 0, 0, TRUE, FALSE, FALSE, FALSE};
    Ref<ID3D11RasterizerState> clip, clamp;
    ASSERT_EQ(device_->CreateRasterizerState(&r, &clip), S_OK);
    r.DepthClipEnable = FALSE;
    ASSERT_EQ(device_->CreateRasterizerState(&r, &clamp), S_OK);
    context_->RSSetState(clip.get());
    FullQuad(1.5f, 1, 0);  // beyond the far plane
    EXPECT_EQ(Pixel(2, 2), kBlack);
    context_->RSSetState(clamp.get());
    FullQuad(1.5f, 1, 0);
    EXPECT_EQ(Pixel(2, 2), kRed);
}

}  // namespace
}  // namespace quarvel::d3d11::test
