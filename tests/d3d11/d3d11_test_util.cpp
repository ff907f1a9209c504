#include "d3d11_test_util.h"

#include <ostream>

namespace quarvel::d3d11::test {

std::ostream& operator<<(std::ostream& os, const Rgba8& c) {
    return os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ")";
}

const char* const kColorVertexGlsl = R"(#version 450
layout(location = 0) in vec4 inPosition;
layout(location = 1) in vec4 inColor;
out vec4 COLOR0;
void main() { gl_Position = inPosition; COLOR0 = inColor; }
)";

const char* const kColorPixelGlsl = R"(#version 450
in vec4 COLOR0;
layout(location = 0) out vec4 target0;
void main() { target0 = COLOR0; }
)";

std::vector<Vertex> Quad(float left, float top, float right, float bottom, float z, float r, float g, float b,
                         float a) {
    return {{left, top, z, r, g, b, a},  {right, top, z, r, g, b, a},    {left, bottom, z, r, g, b, a},
            {left, bottom, z, r, g, b, a}, {right, top, z, r, g, b, a}, {right, bottom, z, r, g, b, a}};
}

std::vector<uint8_t> VertexBlob(const std::string& glsl, std::vector<hlsl::VertexInput> inputs,
                                std::vector<hlsl::ConstantBlock> blocks) {
    return hlsl::WriteShaderBlob(
        {hlsl::ShaderStage::Vertex, "VS", "vs_5_0", glsl, std::move(inputs), std::move(blocks), {}});
}

std::vector<uint8_t> PixelBlob(const std::string& glsl, std::vector<hlsl::ConstantBlock> blocks,
                               std::vector<hlsl::SamplerBinding> samplers) {
    return hlsl::WriteShaderBlob(
        {hlsl::ShaderStage::Pixel, "PS", "ps_5_0", glsl, {}, std::move(blocks), std::move(samplers)});
}

void DeviceTest::SetUp() {
    Hooks() = {};
    liveBefore_ = LiveObjectCount();
    D3D_FEATURE_LEVEL level{};
    ASSERT_EQ(D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION,
                                &device_, &level, &context_),
              S_OK);
    ASSERT_EQ(level, D3D_FEATURE_LEVEL_11_0);
}

void DeviceTest::TearDown() {
    colorLayout_.Reset();
    colorVs_.Reset();
    colorPs_.Reset();
    targetView_.Reset();
    target_.Reset();
    if (context_) context_->ClearState();
    context_.Reset();
    device_.Reset();
    EXPECT_EQ(LiveObjectCount(), liveBefore_) << "device objects were leaked";
}

void DeviceTest::MakeTarget(UINT width, UINT height, DXGI_FORMAT format) {
    width_ = width;
    height_ = height;
    const D3D11_TEXTURE2D_DESC d = {
        width, height, 1, 1, format, {1, 0}, D3D11_USAGE_DEFAULT, D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE,
        0,     0};
    ASSERT_EQ(device_->CreateTexture2D(&d, nullptr, &target_), S_OK);
    ASSERT_EQ(device_->CreateRenderTargetView(target_.get(), nullptr, &targetView_), S_OK);
}

void DeviceTest::BindTarget(ID3D11DepthStencilView* depth) {
    ID3D11RenderTargetView* views[] = {targetView_.get()};
    context_->OMSetRenderTargets(1, views, depth);
    const D3D11_VIEWPORT viewport = {0, 0, float(width_), float(height_), 0, 1};
    context_->RSSetViewports(1, &viewport);
    UseColorShaders();
}

void DeviceTest::UseColorShaders() {
    if (!colorVs_) {
        colorVsBlob_ = VertexBlob(kColorVertexGlsl, {{"POSITION", 0, 0}, {"COLOR", 0, 1}});
        const std::vector<uint8_t> ps = PixelBlob(kColorPixelGlsl);
        ASSERT_EQ(device_->CreateVertexShader(colorVsBlob_.data(), colorVsBlob_.size(), nullptr, &colorVs_), S_OK);
        ASSERT_EQ(device_->CreatePixelShader(ps.data(), ps.size(), nullptr, &colorPs_), S_OK);
        const D3D11_INPUT_ELEMENT_DESC elements[] = {
            {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D11_INPUT_PER_VERTEX_DATA, 0},
            {"COLOR", 0, DXGI_FORMAT_R32G32B32A32_FLOAT, 0, D3D11_APPEND_ALIGNED_ELEMENT, D3D11_INPUT_PER_VERTEX_DATA,
             0},
        };
        ASSERT_EQ(device_->CreateInputLayout(elements, 2, colorVsBlob_.data(), colorVsBlob_.size(), &colorLayout_),
                  S_OK);
    }
    context_->IASetInputLayout(colorLayout_.get());
    context_->VSSetShader(colorVs_.get(), nullptr, 0);
    context_->PSSetShader(colorPs_.get(), nullptr, 0);
}

void DeviceTest::DrawVertices(const std::vector<Vertex>& vertices, D3D11_PRIMITIVE_TOPOLOGY topology) {
    const D3D11_BUFFER_DESC d = {
        UINT(vertices.size() * sizeof(Vertex)), D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
    const D3D11_SUBRESOURCE_DATA data = {vertices.data(), 0, 0};
    Ref<ID3D11Buffer> buffer;
    ASSERT_EQ(device_->CreateBuffer(&d, &data, &buffer), S_OK);
    ID3D11Buffer* buffers[] = {buffer.get()};
    const UINT stride = sizeof(Vertex), offset = 0;
    context_->IASetVertexBuffers(0, 1, buffers, &stride, &offset);
    context_->IASetPrimitiveTopology(topology);
    context_->Draw(UINT(vertices.size()), 0);
}

void DeviceTest::Clear(float r, float g, float b, float a) {
    const float color[4] = {r, g, b, a};
    context_->ClearRenderTargetView(targetView_.get(), color);
}

}  // namespace quarvel::d3d11::test
