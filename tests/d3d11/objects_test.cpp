// Object lifetimes and creation: reference counts, state objects shared by description,
// descriptions Direct3D refuses, device creation arguments, input layouts.
#include <cstring>

#include "d3d11_test_util.h"

namespace quarvel::d3d11::test {
namespace {

D3D11_TEXTURE2D_DESC TextureDesc(UINT bind = D3D11_BIND_SHADER_RESOURCE, DXGI_FORMAT format = DXGI_FORMAT_R8G8B8A8_UNORM) {
    return {4, 4, 1, 1, format, {1, 0}, D3D11_USAGE_DEFAULT, bind, 0, 0};
}

class D3d11ObjectsTest : public DeviceTest {};

TEST_F(D3d11ObjectsTest, ReleaseReturnsTheNewCountAndViewsKeepTheirTextureAlive) {
    const size_t base = LiveObjectCount();
    ID3D11Texture2D* texture = nullptr;
    const D3D11_TEXTURE2D_DESC d = TextureDesc();
    ASSERT_EQ(device_->CreateTexture2D(&d, nullptr, &texture), S_OK);
    EXPECT_EQ(texture->AddRef(), 2u);
    EXPECT_EQ(texture->Release(), 1u);
    ID3D11ShaderResourceView* view = nullptr;
    ASSERT_EQ(device_->CreateShaderResourceView(texture, nullptr, &view), S_OK);
    EXPECT_EQ(texture->Release(), 0u) << "the view's reference is not the program's";
    EXPECT_EQ(LiveObjectCount(), base + 2) << "the view keeps its texture alive";

    ID3D11Resource* resource = nullptr;
    view->GetResource(&resource);
    EXPECT_EQ(static_cast<void*>(resource), static_cast<void*>(texture));
    EXPECT_EQ(resource->Release(), 0u);
    EXPECT_EQ(view->Release(), 0u);
    EXPECT_EQ(LiveObjectCount(), base) << "the last view took its texture with it";
}

TEST_F(D3d11ObjectsTest, BoundObjectsLiveOnUntilUnbound) {
    const size_t base = LiveObjectCount();
    D3D11_BUFFER_DESC d{16, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, 0, 0, 0};
    ID3D11Buffer* buffer = nullptr;
    ASSERT_EQ(device_->CreateBuffer(&d, nullptr, &buffer), S_OK);
    context_->PSSetConstantBuffers(0, 1, &buffer);
    EXPECT_EQ(buffer->Release(), 0u) << "the context's reference is not the program's";
    EXPECT_EQ(LiveObjectCount(), base + 1);
    Ref<ID3D11Buffer> stillBound;
    context_->PSGetConstantBuffers(0, 1, &stillBound);
    EXPECT_EQ(static_cast<void*>(stillBound.get()), static_cast<void*>(buffer));
    stillBound.Reset();
    context_->ClearState();
    EXPECT_EQ(LiveObjectCount(), base);
}

// The state caches share one implementation; blend and sampler states stand for all four.
TEST_F(D3d11ObjectsTest, IdenticalDescriptionsGiveTheSameStateObject) {
    D3D11_BLEND_DESC blend{};
    blend.RenderTarget[0] = {TRUE, D3D11_BLEND_SRC_ALPHA, D3D11_BLEND_INV_SRC_ALPHA, D3D11_BLEND_OP_ADD,
                             D3D11_BLEND_ONE, D3D11_BLEND_ZERO, D3D11_BLEND_OP_ADD, 0xF};
    Ref<ID3D11BlendState> b1, b2, b3;
    ASSERT_EQ(device_->CreateBlendState(&blend, &b1), S_OK);
    ASSERT_EQ(device_->CreateBlendState(&blend, &b2), S_OK);
    EXPECT_EQ(b1.get(), b2.get());
    blend.RenderTarget[0].DestBlendAlpha = D3D11_BLEND_ONE;
    ASSERT_EQ(device_->CreateBlendState(&blend, &b3), S_OK);
    EXPECT_NE(b1.get(), b3.get());

    D3D11_SAMPLER_DESC sampler{};
    sampler.Filter = D3D11_FILTER_MIN_MAG_MIP_LINEAR;
    sampler.AddressU = sampler.AddressV = sampler.AddressW = D3D11_TEXTURE_ADDRESS_WRAP;
    sampler.MaxLOD = D3D11_FLOAT32_MAX;
    Ref<ID3D11SamplerState> s1, s2, s3;
    ASSERT_EQ(device_->CreateSamplerState(&sampler, &s1), S_OK);
    ASSERT_EQ(device_->CreateSamplerState(&sampler, &s2), S_OK);
    sampler.AddressU = D3D11_TEXTURE_ADDRESS_CLAMP;
    ASSERT_EQ(device_->CreateSamplerState(&sampler, &s3), S_OK);
    EXPECT_EQ(s1.get(), s2.get());
    EXPECT_NE(s1.get(), s3.get());
    // The shared object counts both references.
    EXPECT_EQ(s1->AddRef(), 3u);
    EXPECT_EQ(s1->Release(), 2u);
}

// Each refused description: E_INVALIDARG, and the out pointer nulled.
template <typename T, typename Create>
void ExpectRefused(const char* what, Create create) {
    T* out = reinterpret_cast<T*>(0x1);
    EXPECT_EQ(create(&out), E_INVALIDARG) << what;
    EXPECT_EQ(out, nullptr) << what;
    if (out) out->Release();
}

// One refusal of each kind of object; the checks behind them are tables of the same form.
TEST_F(D3d11ObjectsTest, InvalidDescriptionsAreRefused) {
    ID3D11Device* dev = device_.get();
    const D3D11_BUFFER_DESC buffer{20, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, 0, 0, 0};
    ExpectRefused<ID3D11Buffer>("constant buffer of 20 bytes",
                                [&](ID3D11Buffer** o) { return dev->CreateBuffer(&buffer, nullptr, o); });
    D3D11_TEXTURE2D_DESC texture = TextureDesc();
    texture.MipLevels = 4;  // a 4x4 texture has 3
    ExpectRefused<ID3D11Texture2D>("too many mips",
                                   [&](ID3D11Texture2D** o) { return dev->CreateTexture2D(&texture, nullptr, o); });
    Ref<ID3D11Texture2D> depth;
    D3D11_TEXTURE2D_DESC dd = TextureDesc(D3D11_BIND_DEPTH_STENCIL | D3D11_BIND_SHADER_RESOURCE,
                                          DXGI_FORMAT_R24G8_TYPELESS);
    ASSERT_EQ(dev->CreateTexture2D(&dd, nullptr, &depth), S_OK);
    ExpectRefused<ID3D11ShaderResourceView>("typeless view of a typeless texture", [&](ID3D11ShaderResourceView** o) {
        return dev->CreateShaderResourceView(depth.get(), nullptr, o);
    });
    D3D11_BLEND_DESC blend{};
    blend.RenderTarget[0] = {TRUE, D3D11_BLEND_ONE, D3D11_BLEND_ZERO, D3D11_BLEND_OP_ADD, D3D11_BLEND_SRC_COLOR,
                             D3D11_BLEND_ZERO, D3D11_BLEND_OP_ADD, 0xF};
    ExpectRefused<ID3D11BlendState>("a colour factor for alpha",
                                    [&](ID3D11BlendState** o) { return dev->CreateBlendState(&blend, o); });
    const std::vector<uint8_t> ps = PixelBlob(kColorPixelGlsl);
    ExpectRefused<ID3D11VertexShader>("a pixel shader as vertex shader", [&](ID3D11VertexShader** o) {
        return dev->CreateVertexShader(ps.data(), ps.size(), nullptr, o);
    });
}

TEST_F(D3d11ObjectsTest, InputLayoutsMatchTheShaderBySemantic) {
    const std::vector<uint8_t> vs = VertexBlob(kColorVertexGlsl, {Input("POSITION", 0, 0), Input("COLOR", 0, 1)});
    const D3D11_INPUT_ELEMENT_DESC onlyPosition[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0}};
    ID3D11InputLayout* layout = reinterpret_cast<ID3D11InputLayout*>(0x1);
    EXPECT_EQ(device_->CreateInputLayout(onlyPosition, 1, vs.data(), vs.size(), &layout), E_INVALIDARG)
        << "COLOR is read but missing";
    EXPECT_EQ(layout, nullptr);
    // Names match whatever their case; extra elements are fine.
    const D3D11_INPUT_ELEMENT_DESC lowerCase[] = {
        {"position", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"Color", 0, DXGI_FORMAT_R8G8B8A8_UNORM, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"TEXCOORD", 3, DXGI_FORMAT_R32G32_FLOAT, 1, 0, D3D11_INPUT_PER_VERTEX_DATA, 0}};
    Ref<ID3D11InputLayout> ok;
    EXPECT_EQ(device_->CreateInputLayout(lowerCase, 3, vs.data(), vs.size(), &ok), S_OK);
    const D3D11_INPUT_ELEMENT_DESC twice[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"COLOR", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"COLOR", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 0, 28, D3D11_INPUT_PER_VERTEX_DATA, 0}};
    Ref<ID3D11InputLayout> duplicate;
    EXPECT_EQ(device_->CreateInputLayout(twice, 3, vs.data(), vs.size(), &duplicate), E_INVALIDARG);
}

TEST_F(D3d11ObjectsTest, AThreeComponentPositionReadAsFourGetsWOne) {
    MakeTarget(2, 2, DXGI_FORMAT_R32G32B32A32_FLOAT);
    BindTarget();
    // The vertex shader hands POSITION.w on as the colour.
    const std::vector<uint8_t> vs = VertexBlob(R"(#version 450
layout(location = 0) in vec4 inPosition;
layout(location = 1) in vec4 inColor;
out vec4 COLOR0;
void main() { gl_Position = vec4(inPosition.xyz, 1.0); COLOR0 = vec4(inPosition.w, inColor.w, 0.0, 1.0); }
)",
                                               {Input("POSITION", 0, 0), Input("COLOR", 0, 1)});
    Ref<ID3D11VertexShader> shader;
    ASSERT_EQ(device_->CreateVertexShader(vs.data(), vs.size(), nullptr, &shader), S_OK);
    context_->VSSetShader(shader.get(), nullptr, 0);
    // COLOR as a three-component float: its w is 1 as well.
    const D3D11_INPUT_ELEMENT_DESC elements[] = {
        {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
        {"COLOR", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 12, D3D11_INPUT_PER_VERTEX_DATA, 0}};
    Ref<ID3D11InputLayout> layout;
    ASSERT_EQ(device_->CreateInputLayout(elements, 2, vs.data(), vs.size(), &layout), S_OK);
    context_->IASetInputLayout(layout.get());
    DrawVertices(Quad(-1, 1, 1, -1, 0, 0, 0, 0, 0.5f));
    const std::vector<float> v = ReadFloat4(target_.get());
    EXPECT_FLOAT_EQ(v[0], 1.0f);
    EXPECT_FLOAT_EQ(v[1], 1.0f);
}

TEST(D3d11DeviceCreationTest, DriverTypesFeatureLevelsAndArguments) {
    const size_t base = LiveObjectCount();
    for (D3D_DRIVER_TYPE type : {D3D_DRIVER_TYPE_HARDWARE, D3D_DRIVER_TYPE_WARP, D3D_DRIVER_TYPE_REFERENCE}) {
        ID3D11Device* device = nullptr;
        D3D_FEATURE_LEVEL level{};
        const D3D_FEATURE_LEVEL wanted[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1, D3D_FEATURE_LEVEL_10_0};
        ASSERT_EQ(D3D11CreateDevice(nullptr, type, nullptr, 0, wanted, 3, D3D11_SDK_VERSION, &device, &level, nullptr),
                  S_OK)
            << type;
        EXPECT_EQ(level, D3D_FEATURE_LEVEL_11_0);
        EXPECT_EQ(device->Release(), 0u);
    }
    ID3D11Device* device = reinterpret_cast<ID3D11Device*>(0x1);
    EXPECT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, 6, &device, nullptr, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(device, nullptr);
    // No out pointers: only the feature level is reported.
    D3D_FEATURE_LEVEL level{};
    EXPECT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION, nullptr,
                                &level, nullptr),
              S_FALSE);
    EXPECT_EQ(level, D3D_FEATURE_LEVEL_11_0);
    EXPECT_EQ(LiveObjectCount(), base);
}

}  // namespace
}  // namespace quarvel::d3d11::test
