// What the primitives put on screen, read back from real frames of the Direct3D stand-in.
#include <gtest/gtest.h>
#include <math.h>

#include <algorithm>
#include <string>

#include "app/audio_analysis.h"
#include "draw/camera.h"
#include "draw/debug_font.h"
#include "draw/sprites.h"
#include "draw/text.h"
#include "gfx/mesh.h"
#include "gfx/shader_program.h"
#include "graphics_fixture.h"

namespace quarvel::test {
namespace {

const float kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

bool IsColour(const float* pixel, float r, float g, float b, float tolerance = 0.02f) {
    return fabsf(pixel[0] - r) <= tolerance && fabsf(pixel[1] - g) <= tolerance && fabsf(pixel[2] - b) <= tolerance;
}

bool IsBlack(const float* pixel) { return IsColour(pixel, 0, 0, 0); }
bool IsWhite(const float* pixel) { return IsColour(pixel, 1, 1, 1); }

int CountNotBlack(const Pixels& pixels) {
    int count = 0;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x) count += !IsBlack(pixels.At(x, y));
    return count;
}

// --- the loading bar, on windows of two shapes ---

struct Window {
    int width, height;
    int top;  // first row of the 16:9 viewport
};

class LoadingBarTest : public ::testing::TestWithParam<Window> {
protected:
    void SetUp() override { ASSERT_TRUE(OpenGraphics(GetParam().width, GetParam().height, false)); }
    void TearDown() override { CloseGraphics(); }

    // One loading-bar frame. It draws into the bound target through the letterbox viewport
    // and clears backBufferView; both are pointed at a texture of our own so the frame can
    // be read after the present.
    Pixels Frame(float percent) {
        RenderTarget frame = MakeTarget(GetParam().width, GetParam().height);
        ID3D11RenderTargetView* backBuffer = graphics.backBufferView;
        graphics.backBufferView = frame.rtv;
        graphics.context->OMSetRenderTargets(1, &frame.rtv, graphics.depthView);
        graphics.context->RSSetViewports(1, &graphics.viewport);
        DrawLoadingBar(percent);
        graphics.backBufferView = backBuffer;
        Pixels pixels = ReadTexture(frame.texture);
        ReleaseTarget(frame);
        return pixels;
    }
};

TEST_P(LoadingBarTest, FrameInsideAndFillAtTheirColumns) {
    const int top = GetParam().top;
    struct Step {
        float percent;
        int lastFillColumn;  // the fill ends at 52 + width: 65.6, 183.2, 1124
    };
    for (const Step& step : {Step{10.0f, 65}, Step{20.0f, 182}, Step{100.0f, 1123}}) {
        SCOPED_TRACE(step.percent);
        const Pixels pixels = Frame(step.percent);
        ASSERT_EQ(pixels.width, GetParam().width);
        // White frame 50..1230 x 235..285, two units thick.
        for (int x : {50, 51, 640, 1228, 1229}) {
            EXPECT_TRUE(IsWhite(pixels.At(x, top + 235))) << x;
            EXPECT_TRUE(IsWhite(pixels.At(x, top + 284))) << x;
        }
        for (int y : {235, 236, 260, 283, 284}) {
            EXPECT_TRUE(IsWhite(pixels.At(50, top + y))) << y;
            EXPECT_TRUE(IsWhite(pixels.At(1229, top + y))) << y;
        }
        // Outside the frame all is black.
        for (int x : {0, 49, 1230, 1279}) EXPECT_TRUE(IsBlack(pixels.At(x, top + 260))) << x;
        EXPECT_TRUE(IsBlack(pixels.At(640, top + 234)));
        EXPECT_TRUE(IsBlack(pixels.At(640, top + 285)));
        // The fill from column 52, its edge, then black inside up to column 1227.
        for (int y : {237, 260, 282}) {
            EXPECT_TRUE(IsWhite(pixels.At(52, top + y))) << y;
            EXPECT_TRUE(IsWhite(pixels.At(step.lastFillColumn, top + y))) << y;
            EXPECT_TRUE(IsBlack(pixels.At(step.lastFillColumn + 1, top + y))) << y;
            EXPECT_TRUE(IsBlack(pixels.At(1227, top + y))) << y;
        }
        // Letterbox bars, where there are any, stay black.
        for (int y = 0; y < top; ++y) {
            EXPECT_TRUE(IsBlack(pixels.At(640, y))) << y;
            EXPECT_TRUE(IsBlack(pixels.At(640, pixels.height - 1 - y))) << y;
        }
    }
    EXPECT_EQ(BoundDepthState(), graphics.depthOn);
}

INSTANTIATE_TEST_SUITE_P(Windows, LoadingBarTest, ::testing::Values(Window{1280, 720, 0}, Window{1280, 1024, 152}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

// --- sprites, rectangles, 3D primitives and text in one 1280 x 720 window ---

class DrawTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { opened = OpenGraphics(1280, 720, false); }
    static void TearDownTestSuite() { CloseGraphics(); }

    void SetUp() override {
        ASSERT_TRUE(opened);
        target = MakeTarget(1280, 720);
        Clear(kBlack);
        graphics.context->OMSetBlendState(graphics.blendOpaque, NULL, 0xFFFFFFFF);
        graphics.context->RSSetState(graphics.cullBack);
    }
    void TearDown() override {
        ReleaseTarget(target);
        if (texture) texture->Release();
    }

    void Clear(const float colour[4]) { BindAndClear(target, colour); }
    Pixels Read() { return ReadTexture(target.texture); }

    static inline bool opened = false;
    RenderTarget target = {};
    ID3D11ShaderResourceView* texture = NULL;
};

TEST_F(DrawTest, ZeroSizeRectanglesDrawNothing) {
    graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
    DrawRect(100, 100, 0, 50, kWhite);
    DrawRect(300, 100, 50, 0, kWhite);
    DrawRect(500, 100, 0, 0, kWhite);
    EXPECT_EQ(CountNotBlack(Read()), 0);
    // The same calls with a size do draw, with their own colour.
    const float red[4] = {1, 0, 0, 1};
    DrawRect(100, 100, 10, 50, red);
    const Pixels pixels = Read();
    EXPECT_EQ(CountNotBlack(pixels), 500);
    EXPECT_TRUE(IsColour(pixels.At(105, 120), 1, 0, 0));
    EXPECT_EQ(BoundDepthState(), graphics.depthOn);
}

// A camera two units in front of the origin, looking along +z.
void FrontCamera() {
    viewMatrix = XMMatrixLookToLH(XMVectorSet(0, 0, -2, 0), XMVectorSet(0, 0, 1, 0), XMVectorSet(0, 1, 0, 0));
    projectionMatrix = XMMatrixPerspectiveFovLH(XM_PIDIV4, 1280.0f / 720.0f, 0.01f, 500.0f);
}

TEST_F(DrawTest, StripDrawnWithoutRebuildRepeatsTheLastGeometry) {
    FrontCamera();
    const float violet[4] = {0.5f, 0.2f, 0.9f, 1.0f};
    const XMMATRIX world = XMMatrixTranslation(-1.0f, 0.3f, 0.0f);
    graphics.DrawSagStrip(NULL, world, 0.04f, 0.05f, 0.05f, violet, 3.0f, true);
    const Pixels first = Read();
    ASSERT_GT(CountNotBlack(first), 1000);

    Clear(kBlack);
    graphics.DrawSagStrip(NULL, world, 0.2f, 0.5f, 0.5f, violet, 50.0f, false);
    EXPECT_EQ(first.rgba, Read().rgba);

    Clear(kBlack);
    graphics.DrawSagStrip(NULL, world, 0.2f, 0.5f, 0.5f, violet, 50.0f, true);
    EXPECT_NE(first.rgba, Read().rgba);
}

TEST_F(DrawTest, PlaneShowsVZeroAtNegativeZFromBothSides) {
    // Top half red (v = 0), bottom half blue (v = 1).
    texture = MakeTexture(1, 2, {1, 0, 0, 1, 0, 0, 1, 1});
    projectionMatrix = XMMatrixPerspectiveFovLH(XM_PIDIV4, 1280.0f / 720.0f, 0.01f, 500.0f);
    // From above, +z up the screen: v = 0 at z = -h/2 lies at the bottom. The plane spans
    // about 288 rows either side of the centre; the rows tested are clear of the filtered
    // middle of the two-texel texture.
    // The same from below: the plane is drawn from both sides.
    for (float eye : {3.0f, -3.0f}) {
        Clear(kBlack);
        viewMatrix = XMMatrixLookToLH(XMVectorSet(0, eye, 0, 0), XMVectorSet(0, -eye, 0, 0), XMVectorSet(0, 0, 1, 0));
        graphics.DrawPlane(NULL, texture, XMMatrixIdentity(), 2.0f, 2.0f, kWhite);
        const Pixels pixels = Read();
        EXPECT_TRUE(IsColour(pixels.At(640, 560), 1, 0, 0)) << eye;
        EXPECT_TRUE(IsColour(pixels.At(640, 160), 0, 0, 1)) << eye;
        EXPECT_TRUE(IsBlack(pixels.At(640, 700))) << eye;
        EXPECT_EQ(BoundRasterizerState(), graphics.cullBack);
    }
}

// One triangle facing the camera (clockwise as seen), as a loaded mesh would hold it.
Mesh* MakeTriangleMesh() {
    const MeshVertex vertices[3] = {{-0.5f, -0.5f, 0, 0, 0, 0, 0, -1}, {0, 0.5f, 0, 0, 0, 0, 0, -1},
                                    {0.5f, -0.5f, 0, 0, 0, 0, 0, -1}};
    const UINT indices[3] = {0, 1, 2};
    Mesh* mesh = new Mesh{};
    D3D11_BUFFER_DESC desc = {sizeof(vertices), D3D11_USAGE_DEFAULT, D3D11_BIND_VERTEX_BUFFER, 0, 0, 0};
    D3D11_SUBRESOURCE_DATA data = {vertices, 0, 0};
    graphics.device->CreateBuffer(&desc, &data, &mesh->vertexBuffer);
    desc = {sizeof(indices), D3D11_USAGE_DEFAULT, D3D11_BIND_INDEX_BUFFER, 0, 0, 0};
    data.pSysMem = indices;
    graphics.device->CreateBuffer(&desc, &data, &mesh->indexBuffer);
    mesh->vertexCount = mesh->indexCount = 3;
    return mesh;
}

TEST_F(DrawTest, MeshWithFrontFacesCulledRestoresBackCulling) {
    FrontCamera();
    Mesh* mesh = MakeTriangleMesh();
    const float yellow[4] = {1, 1, 0, 1};
    graphics.DrawMesh(mesh, XMMatrixIdentity(), yellow);
    EXPECT_TRUE(IsColour(Read().At(640, 360), 1, 1, 0));
    EXPECT_EQ(BoundRasterizerState(), graphics.cullBack);

    Clear(kBlack);
    mesh->cullFrontFaces = true;
    graphics.DrawMesh(mesh, XMMatrixIdentity(), yellow);
    EXPECT_EQ(CountNotBlack(Read()), 0);
    EXPECT_EQ(BoundRasterizerState(), graphics.cullBack);

    mesh->vertexBuffer->Release();
    mesh->indexBuffer->Release();
    delete mesh;
}

TEST_F(DrawTest, BakedFontLaysGlyphsAtTheRoundedPen) {
    FontSlot& font = graphics.fonts[3];
    ASSERT_TRUE(LoadFontFile(kDebugFontPath, font));
    const BakedGlyph& h = font.glyphs['H' - 32];
    const BakedGlyph& i = font.glyphs['I' - 32];
    ASSERT_GT(h.x1, h.x0);
    const float penX = 100.3f, baseline = 200.0f;
    // Control and high characters have no glyph: skipped, the pen stays.
    DrawString(penX, baseline, "H\n\xC3I");
    const Pixels pixels = Read();
    int minX = 1280, maxX = -1, minY = 720, maxY = -1;
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 1280; ++x)
            if (pixels.At(x, y)[0] > 0.5f) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    // The lit pixels lie inside the two glyph quads and reach near their outer edges.
    const int hLeft = GlyphCorner(penX, h.xoff), top = GlyphCorner(baseline, h.yoff);
    const int iRight = GlyphCorner(penX + h.xadvance, i.xoff) + (i.x1 - i.x0);
    EXPECT_GE(minX, hLeft);
    EXPECT_LE(minX, hLeft + 2);
    EXPECT_LE(maxX, iRight - 1);
    EXPECT_GE(maxX, iRight - 3);
    EXPECT_GE(minY, top);
    EXPECT_LE(maxY, top + (h.y1 - h.y0) - 1);
    EXPECT_EQ(BoundBlendState(), graphics.blendOpaque);
    font.view->Release();
    font = FontSlot{};
}

}  // namespace
}  // namespace quarvel::test
