// InitGraphics and ReleaseGraphics on the GL-backed device: what start-up makes, the driver
// fallback, and that release frees exactly what was made, whichever creation failed. (The
// letterbox viewport it works out is seen in the whole program's recordings.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <tuple>

#include "gfx/graphics_context.h"
#include "gfx/shader_program.h"
#include "failing_device.h"
#include "gfx_test_support.h"
#include "platform/d3d11/live_objects.h"

namespace {

using gfx_test::Intercepted;
using quarvel::d3d11::LiveObjectCount;

class InitGraphicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        gfx_test::ResetIntercepts();
        ASSERT_NE(gfx_test::CreateMainWindow(320, 180), nullptr);
        baseline = LiveObjectCount();
        // Start-up compiles the same twenty entries every time; the compiler's answer is
        // kept so the failure sweep below stays quick.
        Intercepted().fakeCompiler = [this](const gfx_test::CompileCall& call, ID3DBlob** code, ID3DBlob** errors) {
            const std::string key = call.entry + "|" + call.target + "|" + call.text;
            auto found = compiled.find(key);
            if (found == compiled.end()) {
                ID3DBlob* blob = nullptr;
                const HRESULT hr = gfx_test::RealCompile(call, &blob, errors);
                if (FAILED(hr)) return hr;
                found = compiled.emplace(key, std::string(static_cast<const char*>(blob->GetBufferPointer()),
                                                          blob->GetBufferSize())).first;
                blob->Release();
            }
            D3DCreateBlob(found->second.size(), code);
            memcpy((*code)->GetBufferPointer(), found->second.data(), found->second.size());
            if (errors) *errors = nullptr;
            return S_OK;
        };
    }
    void TearDown() override {
        ReleaseGraphics();
        gfx_test::DestroyMainWindow();
    }

    size_t baseline = 0;
    std::map<std::string, std::string> compiled;
};

// Every owned pointer of the record and the separate light buffer.
std::vector<std::pair<const char*, const void*>> OwnedFields() {
    const GraphicsContext& g = graphics;
    std::vector<std::pair<const char*, const void*>> fields = {
        {"depthTexture", g.depthTexture}, {"screenQuad", g.screenQuad}, {"cubeVertices", g.cubeVertices},
        {"cubeIndices", g.cubeIndices}, {"cubeVerticesDynamic", g.cubeVerticesDynamic},
        {"cubeIndicesCopy", g.cubeIndicesCopy}, {"spriteQuad", g.spriteQuad},
        {"boxBatchVertices", g.boxBatchVertices}, {"boxBatchIndices", g.boxBatchIndices}, {"depthOn", g.depthOn},
        {"depthOff", g.depthOff}, {"blendOpaque", g.blendOpaque}, {"blendAdditive", g.blendAdditive},
        {"blendAlpha", g.blendAlpha}, {"cullBack", g.cullBack}, {"cullFront", g.cullFront}, {"cullNone", g.cullNone},
        {"textProgram", g.textProgram}, {"colorProgram", g.colorProgram}, {"texture2DProgram", g.texture2DProgram},
        {"diffuseProgram", g.diffuseProgram}, {"hemisphereProgram", g.hemisphereProgram},
        {"textureProgram", g.textureProgram}, {"diffuseTextureProgram", g.diffuseTextureProgram},
        {"diffuseTextureCubemapProgram", g.diffuseTextureCubemapProgram}, {"skyboxProgram", g.skyboxProgram},
        {"mergeProgram", g.mergeProgram}, {"samplerWrap", g.samplerWrap}, {"samplerClamp", g.samplerClamp},
        {"samplerBorder", g.samplerBorder}, {"device", g.device}, {"context", g.context}, {"swapChain", g.swapChain},
        {"backBufferView", g.backBufferView}, {"depthView", g.depthView}, {"depthShaderView", g.depthShaderView},
        {"transformConstants", g.transformConstants}, {"globalConstants", g.globalConstants},
        {"layerA.texture", g.layerA.texture}, {"layerA.rtv", g.layerA.rtv}, {"layerA.srv", g.layerA.srv},
        {"layerB.texture", g.layerB.texture}, {"layerB.rtv", g.layerB.rtv}, {"layerB.srv", g.layerB.srv},
        {"lightConstants", lightConstants}};
    return fields;
}

bool Complete(const ShaderProgram* p) {
    return p && p->vertexShader && p->pixelShader && p->constants && p->inputLayout;
}

TEST_F(InitGraphicsTest, CreatesEverythingForTheClientArea) {
    ASSERT_TRUE(InitGraphics(true));
    EXPECT_EQ(std::make_tuple(graphics.width, graphics.height, graphics.driverType, graphics.featureLevel),
              std::make_tuple(320, 180, D3D_DRIVER_TYPE_HARDWARE, D3D_FEATURE_LEVEL_11_0));
    for (const auto& [name, pointer] : OwnedFields()) EXPECT_NE(pointer, nullptr) << name;
    EXPECT_TRUE(!graphics.fallbackTexture0 && !graphics.fallbackTexture1);
    for (const FontSlot& font : graphics.fonts) EXPECT_EQ(font.view, nullptr);

    // The ten programs, complete and registered.
    ASSERT_EQ(graphics.programCount, 10u);
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(Complete(graphics.programRegistry[i])) << i;
    D3D11_TEXTURE2D_DESC desc;
    graphics.layerB.texture->GetDesc(&desc);
    EXPECT_EQ(std::make_pair(desc.Width, desc.Height), std::make_pair(320u, 180u));
}

TEST_F(InitGraphicsTest, FallsBackThroughTheDriverTypes) {
    // The types in the order they are tried, failing one more each time.
    const std::vector<D3D_DRIVER_TYPE> order = {D3D_DRIVER_TYPE_HARDWARE, D3D_DRIVER_TYPE_WARP,
                                                D3D_DRIVER_TYPE_REFERENCE};
    for (size_t failing = 1; failing <= order.size(); ++failing) {
        Intercepted().triedDrivers.clear();
        Intercepted().failingDrivers.assign(order.begin(), order.begin() + failing);
        const bool started = InitGraphics(true);
        EXPECT_EQ(started, failing < order.size());
        EXPECT_EQ(Intercepted().triedDrivers,
                  std::vector(order.begin(), order.begin() + std::min(failing + 1, order.size())));
        if (!started) continue;
        EXPECT_EQ(graphics.driverType, order[failing]);
        ReleaseGraphics();
    }
    // With none left, start-up failed and left nothing.
    EXPECT_EQ(LiveObjectCount(), baseline);
    for (const auto& [name, pointer] : OwnedFields()) EXPECT_EQ(pointer, nullptr) << name;
    EXPECT_TRUE(ReleaseGraphics());
    EXPECT_EQ(LiveObjectCount(), baseline);
}

// Creation calls in start-up order: back-buffer view, depth texture, depth view, depth
// shader view, screen quad, seven cube and constant buffers, two batch buffers, sprite
// quad, three rasterizer, two depth and three blend states, ten programs of four calls
// each, two layers of three, three samplers.
constexpr int kCreationCalls = 72;
const int kFatalCalls[] = {1, 2, 3, 15, 70, 71, 72};

TEST_F(InitGraphicsTest, EveryFailedCreationIsReleasedExactly) {
    ASSERT_TRUE(InitGraphics(true));
    ASSERT_EQ(gfx_test::CreationCalls(), kCreationCalls);
    ReleaseGraphics();

    for (int failAt = 1; failAt <= kCreationCalls; ++failAt) {
        SCOPED_TRACE(testing::Message() << "creation call " << failAt << " fails");
        Intercepted().failCreationAt = failAt;
        const bool fatal = std::find(std::begin(kFatalCalls), std::end(kFatalCalls), failAt) != std::end(kFatalCalls);
        EXPECT_EQ(InitGraphics(true), !fatal);
        // A fatal step ends start-up at once: nothing after it was attempted.
        if (fatal) {
            EXPECT_EQ(gfx_test::CreationCalls(), failAt);
        }
        ReleaseGraphics();
        ASSERT_EQ(LiveObjectCount(), baseline);
        for (const auto& [name, pointer] : OwnedFields()) ASSERT_EQ(pointer, nullptr) << name;
        ASSERT_TRUE(ReleaseGraphics()) << "a second release";
    }
}

}  // namespace
