// 2D programs: clip-space quads, glyph coverage, a tinted texture, a flat colour and a
// cross-fade of two layers. One register, two views of its 16 bytes.
Texture2D txFirst : register(t0);
Texture2D txSecond : register(t1);
SamplerState samLinear : register(s0);

cbuffer cb : register(b0)
{
    float4 vColor;
};

cbuffer cbMerge : register(b0)
{
    float fMerge;
    float fTime;
    float2 res;
};

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
    PS_INPUT output = (PS_INPUT)0;
    output.Pos = input.Pos;
    output.Tex = input.Tex;
    return output;
}

float4 TTFPS(PS_INPUT input) : SV_Target
{
    float coverage = txFirst.Sample(samLinear, input.Tex).r;
    return float4(coverage, coverage, coverage, coverage) * vColor;
}

float4 Texture2DPS(PS_INPUT input) : SV_Target
{
    return txFirst.Sample(samLinear, input.Tex) * vColor;
}

float4 ColorPS(PS_INPUT input) : SV_Target
{
    return vColor;
}

float4 MergePS(PS_INPUT input) : SV_Target
{
    float2 uv = float2(input.Tex.x, 1.0 - input.Tex.y);
    return lerp(txFirst.Sample(samLinear, uv), txSecond.Sample(samLinear, uv), fMerge);
}
