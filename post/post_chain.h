// The post-processing chain: fourteen full-size float targets that a frame is drawn
// through one after the other, the twenty effect programs, twelve reduced-size targets and
// the film-grain texture.
#pragma once

#include <d3d11.h>

#include "gfx/graphics_context.h"

struct ShaderProgram;

constexpr int kEffectCount = 20;
constexpr int kChainTargets = 14;
constexpr int kReducedTargets = 12;

// Effect numbers: the index into PostChain::programs.
enum Effect {
    kEffectPassThrough = 0,
    kEffectGlitch = 1,
    kEffectPixelate = 2,
    kEffectChromaticAberration = 3,
    kEffectBokeh = 4,
    kEffectRgb = 5,
    kEffectDofBlur = 6,
    kEffectDof = 7,
    kEffectMpegArtifact = 8,
    kEffectLensDistort = 9,
    kEffectKaleidoscope = 10,
    kEffectHexablur = 11,
    kEffectDhDof = 12,
    kEffectVhs = 13,
    kEffectDownScale4x4 = 14,
    kEffectBrightPass = 15,
    kEffectGaussBlur5x5 = 16,
    kEffectGaussBlur15x1 = 17,
    kEffectFinalPass = 18,
    kEffectStar = 19,
};

struct PostChain {
    ShaderProgram* programs[kEffectCount];
    ID3D11ShaderResourceView* grainView;
    ID3D11Texture2D* textures[kChainTargets];
    ID3D11RenderTargetView* rtvs[kChainTargets];
    ID3D11ShaderResourceView* srvs[kChainTargets];
    INT32 baseWidth;
    INT32 baseHeight;
    RenderTarget reduced[kReducedTargets];
    INT32 current;
    bool active;

    // Once at start-up, after InitGraphics. The status of the first full-size texture or
    // view that could not be made (nothing after it is made), S_OK otherwise.
    HRESULT Create();
    // Binds and clears target 0 and opens the chain for the frame.
    void Begin();
    // Copies the current image into target.rtv, then Begin again.
    void ResolveTo(const RenderTarget& target);
    // Closes the chain and draws the current image to the back buffer in the 16:9 viewport.
    void End();
    void Release();

    // The VHS pass: target current into target current + 1, driven by the music time and the
    // spectrum. Draws only while the chain is open and a target is left to draw into.
    void ApplyVhs();
};

extern PostChain postChain;

// The whole of a full-size target: every chain target is drawn with it, only the back
// buffer gets the 16:9 viewport.
void SetChainViewport();

// The base of the reduced targets: a screen size rounded down to a multiple of 8, so that
// every reduced size divides exactly.
inline INT32 ReducedBaseSize(INT32 size) { return size - size % 8; }
// Reduced target `entry` is the base divided by this: a quarter, an eighth (entries 3 and
// 4) or a half (entry 11).
inline INT32 ReducedTargetDivisor(int entry) { return entry == 3 || entry == 4 ? 8 : entry == 11 ? 2 : 4; }

// A colour laid over whatever target is bound while startMs <= musicTimeMs < endMs, going
// linearly from `from` to `to`, alpha-blended.
void DrawFade(UINT32 startMs, UINT32 endMs, const float from[4], const float to[4]);
