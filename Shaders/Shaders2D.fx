// 2D programs: sprites, rectangles, glyphs and the merge of the two layers. The vertex
// positions arrive in clip space already.

Texture2D t0 : register(t0);
Texture2D t1 : register(t1);
SamplerState s0 : register(s0);

// 16 bytes. The colour programs read a colour; the merge program reads the same bytes as
// fMerge, fTime and two reserved floats.
cbuffer cb : register(b0)
{
    float4 vColor;
};
#define fMerge (vColor.x)
#define fTime (vColor.y)

// Effect selection and the spectrum, shared with the post-processing sources.
cbuffer cbGlobal : register(b2)
{
    int effect;
    int3 res2;
    float4 FFT[32];
};

struct VS_INPUT
{
    float4 Pos : POSITION;
    float2 Tex : TEXCOORD0;
};

struct PS_INPUT
{
    float4 Pos : SV_POSITION;
    float2 Tex : TEXCOORD0;
};

PS_INPUT VS(VS_INPUT input)
{
    PS_INPUT output;
    output.Pos = input.Pos;
    output.Tex = input.Tex;
    return output;
}

// Glyph coverage lives in the atlas's red channel.
float4 TTFPS(PS_INPUT input) : SV_Target
{
    return t0.Sample(s0, input.Tex).rrrr * vColor;
}

float4 Texture2DPS(PS_INPUT input) : SV_Target
{
    return t0.Sample(s0, input.Tex) * vColor;
}

float4 ColorPS(PS_INPUT input) : SV_Target
{
    return vColor;
}

// Drawn with the full-screen quad, whose v is 1 at the top, so v is flipped to keep the
// layers upright.
float4 MergePS(PS_INPUT input) : SV_Target
{
    float2 uv = float2(input.Tex.x, 1.0 - input.Tex.y);
    float4 road = t0.Sample(s0, uv);
    float4 sea = t1.Sample(s0, uv);
    return lerp(road, sea, fMerge);
}
