// Bloom and star-glare passes: down-scaling, bright pass, separable blurs, star streaks and
// the final composite. The image to process is in t0; the composite reads up to t7.

// Switches of the bright and final passes (the first 16 bytes of their 32-byte block).
cbuffer cb : register(b0)
{
    int bloom;
    int star;
    int hexa;
    int res;
};

// Tap offsets and weights of the 512-byte programs. It shares register b0 with the block
// above: a program reads one or the other, never both.
cbuffer cbSamples : register(b0)
{
    float4 vSampleOffsets[16];
    float4 vSampleWeights[16];
};

cbuffer cbGlobal : register(b2)
{
    int effect;
    int3 res2;
    float4 FFT[32];
};

Texture2D tx0 : register(t0);
Texture2D tx1 : register(t1);
Texture2D tx2 : register(t2);
Texture2D tx3 : register(t3);
Texture2D tx4 : register(t4);
Texture2D tx5 : register(t5);
Texture2D tx6 : register(t6);
Texture2D tx7 : register(t7);
SamplerState samLinear : register(s0);

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
    output.Pos = float4(input.Pos.xyz, 1.0);
    output.Tex = input.Tex;
    return output;
}

// The reduced targets are filled by drawing the full image into them; bilinear filtering
// over the quad does the reduction.
float4 DownScale4x4PS(PS_INPUT input) : SV_Target
{
    return tx0.Sample(samLinear, input.Tex);
}

// Keeps what is bright and marked as glowing (alpha); the power sets how quickly the
// mid-tones drop out.
float4 BrightPassPS(PS_INPUT input) : SV_Target
{
    float4 source = tx0.Sample(samLinear, input.Tex);
    float3 v = saturate(source.rgb * source.a);
    float3 bright;
    if (effect == 10)
        bright = pow(v, 4.0) * 1.5;
    else if (effect == 15)
        bright = v * v;
    else
    {
        float3 v2 = v * v;
        float3 v4 = v2 * v2;
        bright = v4 * v4 * 2.0;
    }
    return float4(bright, source.a);
}

float4 GaussBlur5x5PS(PS_INPUT input) : SV_Target
{
    float4 sum = 0.0;
    [unroll]
    for (int i = 0; i < 13; i++)
        sum += vSampleWeights[i] * tx0.Sample(samLinear, input.Tex + vSampleOffsets[i].xy);
    return sum;
}

// One direction of a separable blur: the caller puts the direction into the offsets and
// one weight per tap into .x of entries 0 to 14.
float4 GaussBlur15x1PS(PS_INPUT input) : SV_Target
{
    float4 sum = 0.0;
    [unroll]
    for (int i = 0; i < 15; i++)
        sum += vSampleWeights[i].x * tx0.Sample(samLinear, input.Tex + vSampleOffsets[i].xy);
    return sum;
}

float4 FinalPassPS(PS_INPUT input) : SV_Target
{
    float2 uv = input.Tex;
    float4 source = tx0.Sample(samLinear, uv);
    float3 col = source.rgb;

    float bloomWeight = 0.6;
    float starWeight = 0.4;
    float hexaWeight = 0.3;
    if (effect == 10)
    {
        bloomWeight = 1.0;
        starWeight = 0.6;
    }
    else if (effect == 15)
    {
        // The music drives the glow.
        float level = FFT[0].x;
        bloomWeight = 0.4 + level;
        starWeight = 0.2 + 0.5 * level;
        hexaWeight = 0.2 + 0.3 * level;
    }

    if (bloom != 0)
        col += tx1.Sample(samLinear, uv).rgb * bloomWeight;
    if (star != 0)
    {
        float3 streaks = tx2.Sample(samLinear, uv).rgb + tx3.Sample(samLinear, uv).rgb +
                         tx4.Sample(samLinear, uv).rgb + tx5.Sample(samLinear, uv).rgb +
                         tx6.Sample(samLinear, uv).rgb;
        col += streaks * (starWeight / 5.0);
    }
    if (hexa != 0)
        col += tx7.Sample(samLinear, uv).rgb * hexaWeight;
    return float4(col, 1.0);
}

// One pass of a star streak: eight taps along a line, each pass doubling the reach.
float4 StarPS(PS_INPUT input) : SV_Target
{
    float len = (effect == 10 || effect == 15) ? 0.7 : 1.0;
    float4 sum = 0.0;
    [unroll]
    for (int i = 0; i < 8; i++)
        sum += vSampleWeights[i] * tx0.Sample(samLinear, input.Tex + vSampleOffsets[i].xy * len);
    return sum / 8.0;
}
