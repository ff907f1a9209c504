// HLSL through D3DCompile and the device together: constant buffers packed as Direct3D
// packs them (mixed int and float members, arrays, a member after an array) reaching
// several render targets.
#include <d3dcompiler.h>

#include <array>
#include <cstring>

#include "d3d11_test_util.h"

namespace quarvel::d3d11::test {
namespace {

const char* const kSource = R"(
cbuffer cbMixed : register(b0)
{
    float a;        // 0
    float3 b;       // 4: packs behind a
    int c;          // 16
    float2 d;       // 20
    float e;        // 28
    float arr[2];   // 32 and 48: arrays start a register, 16-byte stride
    float f;        // 52: into the rest of arr's last register
};

struct VSIn { float3 pos : POSITION; };
struct VSOut { float4 pos : SV_Position; };

VSOut PlainVS(VSIn i)
{
    VSOut o;
    o.pos = float4(i.pos, 1.0);
    return o;
}

struct PSOut
{
    float4 t0 : SV_Target0;
    float4 t1 : SV_Target1;
    float4 t2 : SV_Target2;
};

PSOut MixedPS(VSOut i)
{
    PSOut o;
    o.t0 = float4(b, a);
    o.t1 = float4(float(c), d, e);
    o.t2 = float4(arr[0], arr[1], f, 1.0);
    return o;
}
)";

class D3d11HlslPipelineTest : public DeviceTest {
protected:
    void TearDown() override {
        vs_.Reset();
        layout_.Reset();
        DeviceTest::TearDown();
    }
    Ref<ID3DBlob> Compile(const char* entry, const char* target) {
        Ref<ID3DBlob> code, errors;
        const HRESULT hr = D3DCompile(kSource, std::strlen(kSource), "pipeline.hlsl", nullptr, nullptr, entry, target,
                                      D3DCOMPILE_ENABLE_STRICTNESS, 0, &code, &errors);
        EXPECT_EQ(hr, S_OK) << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
        return code;
    }
    void UsePlainVertexShader() {
        Ref<ID3DBlob> code = Compile("PlainVS", "vs_4_0");
        ASSERT_TRUE(code);
        ASSERT_EQ(device_->CreateVertexShader(code->GetBufferPointer(), code->GetBufferSize(), nullptr, &vs_), S_OK);
        const D3D11_INPUT_ELEMENT_DESC elements[] = {
            {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
            {"COLOR", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0}};
        ASSERT_EQ(device_->CreateInputLayout(elements, 2, code->GetBufferPointer(), code->GetBufferSize(), &layout_),
                  S_OK);
        context_->VSSetShader(vs_.get(), nullptr, 0);
        context_->IASetInputLayout(layout_.get());
    }
    Ref<ID3D11VertexShader> vs_;
    Ref<ID3D11InputLayout> layout_;
};

TEST_F(D3d11HlslPipelineTest, ConstantsArePackedAsDirect3DPacksThem) {
    Ref<ID3D11Texture2D> targets[3];
    Ref<ID3D11RenderTargetView> views[3];
    for (int i = 0; i < 3; ++i) {
        D3D11_TEXTURE2D_DESC d{2, 2, 1, 1, DXGI_FORMAT_R32G32B32A32_FLOAT, {1, 0}, D3D11_USAGE_DEFAULT,
                               D3D11_BIND_RENDER_TARGET, 0, 0};
        ASSERT_EQ(device_->CreateTexture2D(&d, nullptr, &targets[i]), S_OK);
        ASSERT_EQ(device_->CreateRenderTargetView(targets[i].get(), nullptr, &views[i]), S_OK);
    }
    ID3D11RenderTargetView* bound[] = {views[0].get(), views[1].get(), views[2].get()};
    context_->OMSetRenderTargets(3, bound, nullptr);
    const D3D11_VIEWPORT viewport = {0, 0, 2, 2, 0, 1};
    context_->RSSetViewports(1, &viewport);
    UsePlainVertexShader();
    Ref<ID3DBlob> code = Compile("MixedPS", "ps_5_0");
    ASSERT_TRUE(code);
    Ref<ID3D11PixelShader> ps;
    ASSERT_EQ(device_->CreatePixelShader(code->GetBufferPointer(), code->GetBufferSize(), nullptr, &ps), S_OK);
    context_->PSSetShader(ps.get(), nullptr, 0);

    uint8_t bytes[64] = {};
    auto put = [&bytes](uint32_t offset, auto value) { std::memcpy(bytes + offset, &value, sizeof value); };
    put(0, 0.125f);                                    // a
    put(4, 1.0f), put(8, 2.0f), put(12, 3.0f);         // b
    put(16, int32_t(-7));                              // c
    put(20, 4.0f), put(24, 5.0f);                      // d
    put(28, 6.0f);                                     // e
    put(32, 7.0f), put(48, 8.0f);                      // arr
    put(52, 9.0f);                                     // f
    D3D11_BUFFER_DESC d{64, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, 0, 0, 0};
    const D3D11_SUBRESOURCE_DATA data = {bytes, 0, 0};
    Ref<ID3D11Buffer> constants;
    ASSERT_EQ(device_->CreateBuffer(&d, &data, &constants), S_OK);
    ID3D11Buffer* cbs[] = {constants.get()};
    context_->PSSetConstantBuffers(0, 1, cbs);
    DrawVertices(Quad(-1, 1, 1, -1, 0, 0, 0, 0));

    auto first = [this](ID3D11Texture2D* t) {
        const std::vector<float> v = ReadFloat4(t);
        return std::array<float, 4>{v[0], v[1], v[2], v[3]};
    };
    EXPECT_EQ(first(targets[0].get()), (std::array<float, 4>{1, 2, 3, 0.125f}));
    EXPECT_EQ(first(targets[1].get()), (std::array<float, 4>{-7, 4, 5, 6}));
    EXPECT_EQ(first(targets[2].get()), (std::array<float, 4>{7, 8, 9, 1}));
}

}  // namespace
}  // namespace quarvel::d3d11::test
