// Object lifetimes and creation: objects bound to the context, a description Direct3D
// refuses, input layouts.
#include "d3d11_test_util.h"

namespace quarvel::d3d11::test {
namespace {

class D3d11ObjectsTest : public DeviceTest {};

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

// One refusal stands for the family: the checks behind the others are tables of the same form.
TEST_F(D3d11ObjectsTest, AnInvalidDescriptionIsRefusedWithANullResult) {
    const D3D11_BUFFER_DESC constants20{20, D3D11_USAGE_DEFAULT, D3D11_BIND_CONSTANT_BUFFER, 0, 0, 0};
    ID3D11Buffer* buffer = reinterpret_cast<ID3D11Buffer*>(0x1);
    EXPECT_EQ(device_->CreateBuffer(&constants20, nullptr, &buffer), E_INVALIDARG) << "not a multiple of 16";
    EXPECT_EQ(buffer, nullptr);
}

TEST_F(D3d11ObjectsTest, InputLayoutsMatchTheShaderBySemantic) {
    const std::vector<uint8_t> vs = VertexBlob(kColorVertexGlsl, {{"POSITION", 0, 0}, {"COLOR", 0, 1}});
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

}  // namespace
}  // namespace quarvel::d3d11::test
