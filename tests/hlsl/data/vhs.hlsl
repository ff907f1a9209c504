// A full-screen effect with a loop of smoothsteps, a hash of the row and offset colour taps.
Texture2D txSource : register(t0);
SamplerState samLinear : register(s0);

cbuffer cb : register(b0)
{
    float fGlitch;
    float fTime;
    float fTileNum;
    float fAmount;
    float fRadius;
    float3 res;
};

struct VS_INPUT { float4 Pos : POSITION; float2 Tex : TEXCOORD; };
struct PS_INPUT { float4 Pos : SV_POSITION; float2 Tex : TEXCOORD; };

PS_INPUT VS(VS_INPUT input)
{
    PS_INPUT output;
    output.Pos = input.Pos;
    output.Tex = input.Tex;
    return output;
}

static const float range = 0.005;
static const float noiseQuality = 250.0;
static const float noiseIntensity = 0.00088;
static const float offsetIntensity = 0.003;
static const float colorOffsetIntensity = 0.35;

float fmod2(float x, float y) { return x - y * floor(x / y); }

float4 VHSPS(PS_INPUT input) : SV_Target
{
    float2 uv = input.Tex;
    for (float i = 0.0; i < 0.71; i += 0.1313)
    {
        float d = fmod2(fTime * i, 1.7);
        float o = sin(1.0 - tan(fTime * 0.24 * i)) * offsetIntensity;
        uv.x += smoothstep(d - range, d, uv.y) * o - smoothstep(d, d + range, uv.y) * o;
    }
    float uvY = trunc(uv.y * noiseQuality) / noiseQuality;
    float noise = frac(sin(dot(float2(fTime * 0.00001, uvY), float2(12.9898, 78.233))) * 43758.5453);
    uv.x += noise * noiseIntensity;
    float2 offsetR = float2(0.006 * sin(fTime) * colorOffsetIntensity, 0);
    float2 offsetG = float2(0.0073 * cos(fTime * 0.97) * colorOffsetIntensity, 0);
    float r = txSource.Sample(samLinear, uv + offsetR).r;
    float g = txSource.Sample(samLinear, uv + offsetG).g;
    float b = txSource.Sample(samLinear, uv).b;
    return float4(r, g, b, 1);
}

float4 PS(PS_INPUT input) : SV_Target
{
    return float4(txSource.Sample(samLinear, input.Tex).rgb, 1);
}
