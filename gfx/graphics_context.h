// The one graphics object: device, swap chain, views, state objects, shared buffers, the
// standard programs and the two layers. Every drawing routine reaches Direct3D through it.
#pragma once

#include <d3d11.h>

#include "draw/xmath.h"

struct ShaderProgram;
struct Mesh;

// 20 bytes: clip- or object-space position, then texture coordinate.
struct ScreenVertex {
    float x, y, z;
    float u, v;
};

// 32 bytes: position, texture coordinate, normal (the order of the input layout).
struct MeshVertex {
    float x, y, z;
    float u, v;
    float nx, ny, nz;
};

static_assert(sizeof(ScreenVertex) == 20 && sizeof(MeshVertex) == 32, "vertex formats are tightly packed");

// The input layouts of the two vertex formats, for programs that draw them.
extern const D3D11_INPUT_ELEMENT_DESC screenLayout[2];
extern const D3D11_INPUT_ELEMENT_DESC meshLayout[3];

// One baked glyph of a font atlas, 20 bytes.
struct BakedGlyph {
    UINT16 x0, y0, x1, y1;  // atlas rectangle in pixels, right and bottom exclusive
    float xoff, yoff;       // pen position to the glyph box's top-left corner
    float xadvance;         // pen movement after the glyph
};

static_assert(sizeof(BakedGlyph) == 20, "glyph records are 20 bytes");

// Glyphs for the character codes 32 to 127 in code order, with the atlas they point into.
struct FontSlot {
    ID3D11ShaderResourceView* view;
    BakedGlyph glyphs[96];
};

// An off-screen RGBA8 colour target and its two views.
struct RenderTarget {
    ID3D11Texture2D* texture;
    ID3D11RenderTargetView* rtv;
    ID3D11ShaderResourceView* srv;
};

struct GraphicsContext {
    INT32 width;
    INT32 height;
    D3D_DRIVER_TYPE driverType;
    D3D_FEATURE_LEVEL featureLevel;
    ID3D11Texture2D* depthTexture;
    ID3D11Buffer* screenQuad;
    ID3D11Buffer* cubeVertices;
    ID3D11Buffer* cubeIndices;
    ID3D11Buffer* cubeVerticesDynamic;
    ID3D11Buffer* cubeIndicesCopy;
    ID3D11Buffer* spriteQuad;
    FontSlot fonts[5];
    ID3D11Buffer* boxBatchVertices;
    ID3D11Buffer* boxBatchIndices;
    ID3D11DepthStencilState* depthOn;
    ID3D11DepthStencilState* depthOff;
    ID3D11BlendState* blendOpaque;
    ID3D11BlendState* blendAdditive;
    ID3D11BlendState* blendAlpha;
    ID3D11RasterizerState* cullBack;
    ID3D11RasterizerState* cullFront;
    ID3D11RasterizerState* cullNone;
    ShaderProgram* programRegistry[64];
    UINT32 programCount;
    ShaderProgram* textProgram;
    ShaderProgram* colorProgram;
    ShaderProgram* texture2DProgram;
    ShaderProgram* diffuseProgram;
    ShaderProgram* hemisphereProgram;
    ShaderProgram* textureProgram;
    ShaderProgram* diffuseTextureProgram;
    ShaderProgram* diffuseTextureCubemapProgram;
    ShaderProgram* skyboxProgram;
    ShaderProgram* mergeProgram;
    ID3D11ShaderResourceView* fallbackTexture0;
    ID3D11ShaderResourceView* fallbackTexture1;
    ID3D11SamplerState* samplerWrap;
    ID3D11SamplerState* samplerClamp;
    ID3D11SamplerState* samplerBorder;
    ID3D11Device* device;
    ID3D11DeviceContext* context;
    IDXGISwapChain* swapChain;
    ID3D11RenderTargetView* backBufferView;
    ID3D11DepthStencilView* depthView;
    D3D11_VIEWPORT viewport;
    ID3D11ShaderResourceView* depthShaderView;
    ID3D11Buffer* transformConstants;
    ID3D11Buffer* globalConstants;
    RenderTarget layerA;
    RenderTarget layerB;

    // 3D primitives (draw/). A null program means the primitive's default program.
    void DrawMesh(Mesh* mesh, const XMMATRIX& world, const float colour[4]);
    void DrawBox(ShaderProgram* program, const XMMATRIX& world, float sx, float sy, float sz,
                 const float colour[4]);
    void DrawSagStrip(ShaderProgram* program, const XMMATRIX& world, float sx, float sy, float sz,
                      const float colour[4], float amplitude, bool rebuild);
    void DrawPlane(ShaderProgram* program, ID3D11ShaderResourceView* textureView, const XMMATRIX& world,
                   float w, float h, const float colour[4]);

    // The shared full-screen quad drawn with a program (post/).
    void DrawFullscreenQuad(ShaderProgram* program);
};

extern GraphicsContext graphics;
// cbLight, kept beside the object rather than in it.
extern ID3D11Buffer* lightConstants;

// Device, swap chain and everything shared, for the main window's client area. False when a
// step the system cannot run without fails; what was made by then stays for ReleaseGraphics.
bool InitGraphics(bool windowed);
// Releases everything InitGraphics made, device last. Safe to call twice.
bool ReleaseGraphics();
void CreateRenderTarget(UINT width, UINT height, RenderTarget& target);
// Rewrites a whole constant buffer. An incomplete program has none, and draws nothing, so
// there is nothing to update: Direct3D would fault on the null buffer.
void UpdateConstants(ID3D11Buffer* buffer, const void* data);
