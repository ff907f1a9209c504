// ID3D11VertexShader and ID3D11PixelShader: the code blob's GLSL compiled into a GL shader
// object at creation, plus what the blob says about inputs, constant blocks and samplers.
// A program is the link of one vertex and one pixel shader, made by the program cache at
// the first draw with the pair.
#pragma once

#include <vector>

#include "com_object.h"
#include "gl.h"
#include "hlsl/shader_blob.h"

namespace quarvel::d3d11 {

// Reads a code blob for `stage`, checking that its target fits `level`. False (with the
// reason logged under `function`) for anything that is not such a blob.
bool ParseShaderBlob(const void* bytecode, SIZE_T length, hlsl::ShaderStage stage, D3D_FEATURE_LEVEL level,
                     const char* function, hlsl::CompiledShader& out);

template <typename Interface, hlsl::ShaderStage kStage>
class Shader final : public DeviceChild<Interface> {
public:
    static HRESULT Create(Device* device, const void* bytecode, SIZE_T length, ID3D11ClassLinkage* linkage,
                          Interface** out);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return QueryInterfaceFor<Interface, ID3D11DeviceChild, IUnknown>(this, riid, object);
    }

    const hlsl::CompiledShader& Compiled() const { return compiled_; }
    GLuint GlShader() const { return gl_; }
    // The device's layout id of each constant block, in the order of Compiled().blocks.
    const std::vector<uint32_t>& BlockLayouts() const { return blockLayouts_; }

private:
    explicit Shader(Device* device) : DeviceChild<Interface>(device) {}
    ~Shader() override;

    hlsl::CompiledShader compiled_;
    GLuint gl_ = 0;
    std::vector<uint32_t> blockLayouts_;
};

using VertexShader = Shader<ID3D11VertexShader, hlsl::ShaderStage::Vertex>;
using PixelShader = Shader<ID3D11PixelShader, hlsl::ShaderStage::Pixel>;

}  // namespace quarvel::d3d11
