// The blend states of the system (opaque, additive, alpha with the alpha that blendAlpha
// writes), on RGBA8 and RGBA32F targets.
#include <algorithm>
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

class D3d11BlendTest : public DeviceTest {};

TEST_F(D3d11BlendTest, TheSystemsBlendStatesOnEightBitAndFloatTargets) {
    for (DXGI_FORMAT format : {DXGI_FORMAT_R8G8B8A8_UNORM, DXGI_FORMAT_R32G32B32A32_FLOAT}) {
        const bool wide = format == DXGI_FORMAT_R32G32B32A32_FLOAT;
        for (const BlendCase& c : kCases) {
            MakeTarget(2, 2, format);
            BindTarget();
            Clear(c.destination[0], c.destination[1], c.destination[2], c.destination[3]);
            Ref<ID3D11BlendState> state;
            ASSERT_EQ(device_->CreateBlendState(c.desc, &state), S_OK);
            context_->OMSetBlendState(state.get(), nullptr, 0xffffffff);
            DrawVertices(Quad(-1, 1, 1, -1, 0, c.source[0], c.source[1], c.source[2], c.source[3]));
            context_->OMSetBlendState(nullptr, nullptr, 0xffffffff);
            std::array<float, 4> got;
            if (wide) {
                const std::vector<float> v = ReadFloat4(target_.get());
                std::copy_n(v.begin(), 4, got.begin());
            } else {
                const Rgba8 p = ReadRgba8(target_.get())[0];
                got = {p.r / 255.f, p.g / 255.f, p.b / 255.f, p.a / 255.f};
            }
            for (int i = 0; i < 4; ++i)
                EXPECT_NEAR(got[i], c.expected[i], wide ? 1e-6f : 1.0f / 255)
                    << c.name << " channel " << i << " " << format;
        }
    }
}

}  // namespace
}  // namespace quarvel::d3d11::test
