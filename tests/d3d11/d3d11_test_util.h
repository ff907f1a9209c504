// What the Direct3D conformance tests share: an owning COM pointer, a device made the way a
// tool makes one (no window), code blobs made from hand-written GLSL, and render targets read
// back through a staging texture the way a Direct3D program reads pixels.
#pragma once

#include <d3d11.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "d3d11/live_objects.h"
#include "hlsl/shader_blob.h"
#include "readback.h"

namespace quarvel::d3d11::test {

using quarvel::test::ReadTextureBytes;

template <typename T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {}
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ~Ref() { Reset(); }
    void Reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    T** operator&() {
        Reset();
        return &p_;
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

struct Rgba8 {
    uint8_t r, g, b, a;
    bool operator==(const Rgba8& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};
std::ostream& operator<<(std::ostream& os, const Rgba8& c);

// A float3 position and a float4 colour, as the tests' vertex layout reads them.
struct Vertex {
    float x, y, z;
    float r, g, b, a;
};

// Two triangles, clockwise on screen, covering clip-space [left, right] x [bottom, top].
std::vector<Vertex> Quad(float left, float top, float right, float bottom, float z, float r, float g, float b,
                         float a = 1.0f);

std::vector<uint8_t> VertexBlob(const std::string& glsl, std::vector<hlsl::VertexInput> inputs,
                                std::vector<hlsl::ConstantBlock> blocks = {});
std::vector<uint8_t> PixelBlob(const std::string& glsl, std::vector<hlsl::ConstantBlock> blocks = {},
                               std::vector<hlsl::SamplerBinding> samplers = {});

// GLSL of a vertex shader passing POSITION (read as a float4) and COLOR on, and a pixel
// shader writing the colour.
extern const char* const kColorVertexGlsl;
extern const char* const kColorPixelGlsl;

// Hooks on the stand-in's GL calls, reset per test. Instant: the GPU is done with all it was
// given when asked. Frozen: with all it was given before it froze, and nothing since.
struct GlHooks {
    enum class Gpu { Real, Instant, Frozen } gpu = Gpu::Real;
    bool failFences = false;
    int readBacks = 0;  // buffer contents read back
};
GlHooks& Hooks();

// A device and immediate context for one test; the test fails if anything it created is
// still alive at the end.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A colour target of `format`, with its render-target view.
    void MakeTarget(UINT width, UINT height, DXGI_FORMAT format = DXGI_FORMAT_R8G8B8A8_UNORM);
    // Binds the target (and `depth`), a full-target viewport and the colour shaders.
    void BindTarget(ID3D11DepthStencilView* depth = nullptr);
    void UseColorShaders();
    // Draws `vertices` (a list or strip) with the colour shaders from a fresh buffer.
    void DrawVertices(const std::vector<Vertex>& vertices,
                      D3D11_PRIMITIVE_TOPOLOGY topology = D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    void Clear(float r, float g, float b, float a);

    // Texels of a texture, top row first, read through a staging copy and a read map.
    template <typename T>
    static std::vector<T> Read(ID3D11Texture2D* texture) {
        const std::vector<uint8_t> bytes = ReadTextureBytes(texture);
        std::vector<T> texels(bytes.size() / sizeof(T));
        std::memcpy(texels.data(), bytes.data(), texels.size() * sizeof(T));
        return texels;
    }
    static std::vector<Rgba8> ReadRgba8(ID3D11Texture2D* texture) { return Read<Rgba8>(texture); }
    static std::vector<float> ReadFloat4(ID3D11Texture2D* texture) { return Read<float>(texture); }
    Rgba8 Pixel(int x, int y) { return ReadRgba8(target_.get())[y * width_ + x]; }

    Ref<ID3D11Device> device_;
    Ref<ID3D11DeviceContext> context_;
    Ref<ID3D11Texture2D> target_;
    Ref<ID3D11RenderTargetView> targetView_;
    Ref<ID3D11VertexShader> colorVs_;
    Ref<ID3D11PixelShader> colorPs_;
    Ref<ID3D11InputLayout> colorLayout_;
    std::vector<uint8_t> colorVsBlob_;
    UINT width_ = 0, height_ = 0;
    size_t liveBefore_ = 0;
};

}  // namespace quarvel::d3d11::test
