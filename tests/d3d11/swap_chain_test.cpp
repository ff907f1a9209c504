// The swap chain on a window: creation from the window handle, buffer 0 as a texture,
// Present showing the back buffer upright in the window's own framebuffer.
#include <tuple>

#include "d3d11/gl.h"
#include "d3d11_test_util.h"
#include "test_window.h"

namespace quarvel::d3d11::test {
namespace {

TEST(D3d11SwapChainTest, BufferZeroIsARenderTargetAndPresentShowsItUpright) {
    const size_t base = LiveObjectCount();
    HWND window = quarvel::test::OpenTestWindow(16, 8);
    ASSERT_NE(window, nullptr);
    {
        DXGI_SWAP_CHAIN_DESC desc{};
        desc.BufferDesc = {16, 8, {60, 1}, DXGI_FORMAT_R8G8B8A8_UNORM, DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED,
                           DXGI_MODE_SCALING_UNSPECIFIED};
        desc.SampleDesc = {1, 0};
        desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
        desc.BufferCount = 2;
        desc.OutputWindow = window;
        desc.Windowed = TRUE;
        const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1, D3D_FEATURE_LEVEL_10_0};
        Ref<IDXGISwapChain> chain;
        Ref<ID3D11Device> device;
        Ref<ID3D11DeviceContext> context;
        D3D_FEATURE_LEVEL level{};
        ASSERT_EQ(D3D11CreateDeviceAndSwapChain(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, levels, 3,
                                                D3D11_SDK_VERSION, &desc, &chain, &device, &level, &context),
                  S_OK);
        EXPECT_EQ(level, D3D_FEATURE_LEVEL_11_0);

        Ref<ID3D11Texture2D> buffer;
        ASSERT_EQ(chain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&buffer)), S_OK);
        D3D11_TEXTURE2D_DESC td{};
        buffer->GetDesc(&td);
        EXPECT_EQ(std::make_tuple(td.Width, td.Height, td.Format),
                  std::make_tuple(16u, 8u, DXGI_FORMAT_R8G8B8A8_UNORM));
        EXPECT_TRUE(td.BindFlags & D3D11_BIND_RENDER_TARGET);

        // Top half red, bottom half blue: a cleared back buffer with red written over rows 0-3.
        Ref<ID3D11RenderTargetView> view;
        ASSERT_EQ(device->CreateRenderTargetView(buffer.get(), nullptr, &view), S_OK);
        const float blue[4] = {0, 0, 1, 1};
        context->ClearRenderTargetView(view.get(), blue);
        const std::vector<uint32_t> red(16 * 4, 0xFF0000FFu);
        const D3D11_BOX box = {0, 0, 0, 16, 4, 1};
        context->UpdateSubresource(buffer.get(), 0, &box, red.data(), 16 * 4, 0);

        ASSERT_EQ(chain->Present(1, 0), S_OK);
        // The window's framebuffer keeps its bottom row first; the offscreen driver's surface
        // (the suite forces it) keeps what was presented, so its top row (GL row 7) is red.
        uint8_t top[4] = {}, bottom[4] = {};
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadPixels(0, 7, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, top);
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, bottom);
        EXPECT_EQ(std::make_tuple(int(top[0]), int(top[2]), int(bottom[0]), int(bottom[2])),
                  std::make_tuple(255, 0, 0, 255));
    }
    DestroyWindow(window);
    EXPECT_EQ(LiveObjectCount(), base);
}

}  // namespace
}  // namespace quarvel::d3d11::test
