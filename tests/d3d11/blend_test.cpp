// The blend states of the system (opaque, additive, alpha with the alpha that blendAlpha
// writes), on RGBA8 and RGBA32F targets.
#include <array>

#include "d3d11_test_util.h"

namespace quarvel::d3d11::test {
namespace {

D3D11_BLEND_DESC Blend(BOOL enable, D3D11_BLEND src, D3D11_BLEND dst, D3D11_BLEND srcAlpha, D3D11_BLEND dstAlpha,
                       UINT8 mask = D3D11_COLOR_WRITE_ENABLE_ALL) {
    D3D11_BLEND_DESC d{};
    d.RenderTarget[0] = {enable, src, dst, D3D11_BLEND_OP_ADD, srcAlpha, dstAlpha, D3D11_BLEND_OP_ADD, mask};
    return d;
}

const D3D11_BLEND_DESC kOpaque = Blend(FALSE, D3D11_BLEND_ONE, D3D11_BLEND_ZERO, D3D11_BLEND_ONE, D3D11_BLEND_ZERO);
const D3D11_BLEND_DESC kAdditive = Blend(TRUE, D3D11_BLEND_ONE, D3D11_BLEND_ONE, D3D11_BLEND_ZERO, D3D11_BLEND_ZERO);
const D3D11_BLEND_DESC kAlpha =
    Blend(TRUE, D3D11_BLEND_SRC_ALPHA, D3D11_BLEND_INV_SRC_ALPHA, D3D11_BLEND_ONE, D3D11_BLEND_ZERO);

struct BlendCase {
    const char* name;
    const D3D11_BLEND_DESC* desc;
    float destination[4];
    float source[4];
    float expected[4];
};

const BlendCase kCases[] = {
    {"opaque", &kOpaque, {1, 1, 1, 1}, {0.2f, 0.4f, 0.6f, 0.5f}, {0.2f, 0.4f, 0.6f, 0.5f}},
    {"additive", &kAdditive, {0.25f, 0.25f, 0.25f, 1}, {0.5f, 0.25f, 0, 0.5f}, {0.75f, 0.5f, 0.25f, 0}},
    {"alpha", &kAlpha, {0, 0, 1, 1}, {1, 0, 0, 0.25f}, {0.25f, 0, 0.75f, 0.25f}},
};

class D3d11BlendTest : public DeviceTest, public ::testing::WithParamInterface<DXGI_FORMAT> {
protected:
    std::array<float, 4> Run(const BlendCase& c) {
        MakeTarget(2, 2, GetParam());
        BindTarget();
        Clear(c.destination[0], c.destination[1], c.destination[2], c.destination[3]);
        Ref<ID3D11BlendState> state;
        EXPECT_EQ(device_->CreateBlendState(c.desc, &state), S_OK);
        context_->OMSetBlendState(state.get(), nullptr, 0xffffffff);
        DrawVertices(Quad(-1, 1, 1, -1, 0, c.source[0], c.source[1], c.source[2], c.source[3]));
        context_->OMSetBlendState(nullptr, nullptr, 0xffffffff);
        return ReadPixel();
    }
    std::array<float, 4> ReadPixel() {
        if (GetParam() == DXGI_FORMAT_R32G32B32A32_FLOAT) {
            const std::vector<float> v = ReadFloat4(target_.get());
            return {v[0], v[1], v[2], v[3]};
        }
        const Rgba8 p = ReadRgba8(target_.get())[0];
        return {p.r / 255.f, p.g / 255.f, p.b / 255.f, p.a / 255.f};
    }
    float Tolerance() const { return GetParam() == DXGI_FORMAT_R32G32B32A32_FLOAT ? 1e-6f : 1.0f / 255; }
};

TEST_P(D3d11BlendTest, TheSystemsBlendStates) {
    for (const BlendCase& c : kCases) {
        const std::array<float, 4> got = Run(c);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], c.expected[i], Tolerance()) << c.name << " channel " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(D3d11Formats, D3d11BlendTest,
                         ::testing::Values(DXGI_FORMAT_R8G8B8A8_UNORM, DXGI_FORMAT_R32G32B32A32_FLOAT),
                         [](const ::testing::TestParamInfo<DXGI_FORMAT>& info) {
                             return info.param == DXGI_FORMAT_R8G8B8A8_UNORM ? "Rgba8" : "Rgba32Float";
                         });

}  // namespace
}  // namespace quarvel::d3d11::test
