// Full-screen post effects. Every effect reads the image in t0 at the interpolated texture
// coordinate and writes one colour; the chain draws them with DrawSprite, so v is 0 at the
// top of the picture.

// Parameters of the 32-byte programs.
cbuffer cb : register(b0)
{
    float fGlitch;
    float fTime;
    float fTileNum;
    float fAmount;
    float fRadius;
    float3 res;
};

// Parameters of the 512-byte programs. It shares register b0 with the block above: a
// program reads one or the other, never both, so only one is ever bound.
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

Texture2D txSource : register(t0);
Texture2D txSecond : register(t1);
Texture2D txDepth : register(t2);
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

// GLSL-style modulo: the result takes the sign of y, unlike fmod.
float ModFloor(float x, float y)
{
    return x - y * floor(x / y);
}

// One target pixel in texture coordinates. The chain's images are as large as the target
// they are drawn into, so this is also one source texel.
float2 PixelSize(float2 uv)
{
    return abs(float2(ddx(uv.x), ddy(uv.y)));
}

float Hash11(float p)
{
    return frac(sin(p * 127.1) * 43758.5453);
}

float ValueNoise(float x)
{
    float i = floor(x);
    float f = frac(x);
    float u = f * f * (3.0 - 2.0 * f);
    return lerp(Hash11(i), Hash11(i + 1.0), u);
}

// --- 0: pass-through ---

float4 PS(PS_INPUT input) : SV_Target
{
    return float4(txSource.Sample(samLinear, input.Tex).rgb, 1.0);
}

// --- 1: glitch ---

float4 GlitchPS(PS_INPUT input) : SV_Target
{
    float2 uv = input.Tex;
    // The noise pattern jumps a dozen times a second rather than sliding, like a bad tape.
    float row = uv.y * 48.0 + floor(fTime * 12.0) * 17.0;
    float n = ValueNoise(row) * 0.65 + ValueNoise(row * 4.0 + 31.0) * 0.35;
    float tear = (n - 0.5) * 2.0;
    tear = sign(tear) * max(abs(tear) - 0.35, 0.0) / 0.65;
    float shift = tear * 0.1 * fGlitch;
    float split = 0.012 * fGlitch * n;
    float r = txSource.Sample(samLinear, uv + float2(shift + split, 0.0)).r;
    float g = txSource.Sample(samLinear, uv + float2(shift, 0.0)).g;
    float b = txSource.Sample(samLinear, uv + float2(shift - split, 0.0)).b;
    return float4(r, g, b, 1.0);
}

// --- 2: pixelate ---

float4 PixelatePS(PS_INPUT input) : SV_Target
{
    // A tile count below one would divide by zero; one tile is the coarsest picture there is.
    float tiles = max(fTileNum, 1.0);
    float2 uv = floor(input.Tex * tiles) / tiles;
    return float4(txSource.Sample(samLinear, uv).rgb, 1.0);
}

// --- 3: chromatic aberration ---

float4 ChromaticAberrationPS(PS_INPUT input) : SV_Target
{
    float2 uv = input.Tex;
    float2 d = uv - 0.5;
    float2 offset = normalize(float2(1.0, 1.0)) * (saturate(dot(d, d)) * 2.5 + 0.3) * 0.01;
    float r = txSource.Sample(samLinear, uv + offset).r;
    float g = txSource.Sample(samLinear, uv).g;
    float b = txSource.Sample(samLinear, uv - offset).b;
    return float4(r, g, b, 1.0);
}

// --- 4: bokeh ---

static const float GOLDEN_ANGLE = 2.39996323;

// Golden-angle spiral: successive taps turn by the golden angle and move outwards with the
// square root of their index, so 100 taps cover a disc evenly. Bright taps weigh more,
// which turns highlights into discs.
float3 BokehBlur(float2 uv, float2 pixel, float radius, float amount)
{
    float s = sin(GOLDEN_ANGLE);
    float c = cos(GOLDEN_ANGLE);
    float3 acc = 0.0;
    float3 div = 0.0;
    float r = 1.0;
    float2 dir = float2(0.0, radius * 12.0);
    [loop]
    for (int j = 0; j < 100; j++)
    {
        r += 1.0 / r;
        dir = float2(c * dir.x - s * dir.y, s * dir.x + c * dir.y);
        float3 col = txSource.SampleLevel(samLinear, uv + pixel * (r - 1.0) * dir, 0).rgb;
        float3 weight = pow(max(col, 0.0), 4.0) * amount + 0.4;
        acc += col * weight;
        div += weight;
    }
    return acc / div;
}

float4 BokehPS(PS_INPUT input) : SV_Target
{
    float2 uv = input.Tex;
    if (effect == 15)
    {
        float level = FFT[0].x;
        float3 blurred = BokehBlur(uv, PixelSize(uv), 0.5 + level, 0.25);
        float3 source = txSource.Sample(samLinear, uv).rgb;
        return float4(lerp(source, blurred, saturate(0.7 + 0.2 * level)), 1.0);
    }
    return float4(BokehBlur(uv, PixelSize(uv), 0.25, 1.0), 1.0);
}

// --- 5: RGB scanlines ---

float RgbStripe(float v, float phase)
{
    return (0.5 + abs(0.5 - ModFloor(2.0 * v + phase, 0.021) / 0.021) * 0.5) * 2.5;
}

float4 RGBPS(PS_INPUT input) : SV_Target
{
    float v = input.Tex.y;
    float3 col = txSource.Sample(samLinear, input.Tex).rgb;
    col *= float3(RgbStripe(v, 0.0), RgbStripe(v, 0.007), RgbStripe(v, 0.014));
    return float4(col, 1.0);
}

// --- 6: depth-of-field blur (13 weighted taps) ---

float4 DOFBlurPS(PS_INPUT input) : SV_Target
{
    float4 sum = 0.0;
    [unroll]
    for (int i = 0; i < 13; i++)
        sum += vSampleWeights[i] * txSource.Sample(samLinear, input.Tex + vSampleOffsets[i].xy);
    return sum;
}

// --- 7: depth of field: sharp where the focus mask in alpha is mid-range ---

float4 DOFPS(PS_INPUT input) : SV_Target
{
    float4 sharp = txSource.Sample(samLinear, input.Tex);
    if (sharp.a > 0.2 && sharp.a < 0.8)
        return sharp;
    return txSecond.Sample(samLinear, input.Tex);
}

// --- 8: MPEG block artefacts ---

float4 MPEGArtifactPS(PS_INPUT input) : SV_Target
{
    float2 uv = input.Tex;
    float2 blockSize = float2(16.0 * 1.777 / 1280.0, 16.0 / 720.0);
    float2 block = floor(uv / blockSize);
    float2 blockUv = block * blockSize;
    // The noise texture decides per block, and changes its mind ten times a second. The
    // coordinate wraps itself: the chain samples with clamped addressing.
    float2 noiseUv = frac((block + floor(fTime * 10.0) * float2(7.0, 13.0)) / 64.0);
    float4 noise = txSecond.Sample(samLinear, noiseUv);
    float level = FFT[0].x;

    float2 sampleUv = uv;
    // Lost motion vectors: the block shows the picture from a neighbouring place.
    if (noise.r < 0.3 * level)
        sampleUv += (noise.gb - 0.5) * blockSize * 4.0;
    float3 col = txSource.Sample(samLinear, sampleUv).rgb;
    // Starved bit rate: the block collapses to its centre colour, coarsely quantised.
    if (noise.g < 0.2 * level)
    {
        float3 flat = txSource.Sample(samLinear, blockUv + blockSize * 0.5).rgb;
        col = floor(flat * 6.0 + 0.5) / 6.0;
    }
    // Chroma bleeding into the next block.
    if (noise.b < 0.15 * level)
        col.rb = txSource.Sample(samLinear, sampleUv + float2(blockSize.x, 0.0)).rb;
    return float4(col, 1.0);
}

// --- 9: lens distortion ---

float2 Distort(float2 uv, float k, float kcube)
{
    float2 d = uv - 0.5;
    float r2 = dot(d, d);
    float f = 1.0 + r2 * (k + kcube * sqrt(r2));
    return f * d + 0.5;
}

float4 LensDistortPS(PS_INPUT input) : SV_Target
{
    float2 uv = float2(input.Tex.x, 1.0 - input.Tex.y);
    float k = sin(0.9 * fTime) * FFT[0].x;
    float kcube = 0.5 * sin(fTime);
    float split = 0.1 * sin(0.5 * fTime);
    float r = txSource.Sample(samLinear, Distort(uv, k + split, kcube)).r;
    float g = txSource.Sample(samLinear, Distort(uv, k, kcube)).g;
    float b = txSource.Sample(samLinear, Distort(uv, k - split, kcube)).b;
    return float4(r, g, b, 1.0);
}

// --- 10: kaleidoscope ---

float4 KaleidoscopePS(PS_INPUT input) : SV_Target
{
    const float PI = 3.14159265;
    const float section = 2.0 * PI / 7.0;
    float aspect = 1280.0 / 720.0;
    float2 p = (input.Tex - 0.5) * float2(aspect, 1.0);
    float radius = length(p);
    float angle = atan2(p.y, p.x) + fTime * 0.1;
    // Fold the angle into one section and mirror its second half onto the first.
    angle = ModFloor(angle, section);
    angle = abs(angle - section * 0.5);
    p = radius * float2(cos(angle), sin(angle));
    float2 uv = p / float2(aspect, 1.0) + 0.5;
    return float4(txSource.Sample(samLinear, uv).rgb, 1.0);
}

// --- 11: hexagonal blur ---

float4 HexablurPS(PS_INPUT input) : SV_Target
{
    const float PI = 3.14159265;
    float2 pixel = PixelSize(input.Tex);
    float maxRadius = 12.0 + fRadius * 24.0;
    float3 acc = 0.0;
    float total = 0.0;
    [loop]
    for (int i = 0; i < 256; i++)
    {
        float t = (i + 0.5) / 256.0;
        float angle = t * 16.0 * PI;
        // Distance to a hexagon's edge in this direction, relative to its inner radius.
        float sector = ModFloor(angle, PI / 3.0) - PI / 6.0;
        float hex = cos(PI / 6.0) / cos(sector);
        float2 offset = float2(cos(angle), sin(angle)) * hex * t * maxRadius * pixel;
        acc += txSource.SampleLevel(samLinear, input.Tex + offset, 0).rgb * t;
        total += t;
    }
    return float4(acc / total, 1.0);
}

// --- 12: spiral depth of field ---

float4 Dh_Dof_PS(PS_INPUT input) : SV_Target
{
    float2 stepSize = float2(0.002 * 0.5625, 0.002);
    float3 acc = 0.0;
    [loop]
    for (int i = 0; i < 80; i++)
    {
        float angle = i * 2.399;
        float2 offset = float2(cos(angle), sin(angle)) * sqrt((float)i) * stepSize;
        acc += txSource.SampleLevel(samLinear, input.Tex + offset, 0).rgb;
    }
    return float4(acc / 80.0, 1.0);
}

// --- 13: VHS tape ---

static const float range = 0.005;
static const float noiseQuality = 250.0;
static const float noiseIntensity = 0.00088;
static const float offsetIntensity = 0.003;
static const float colorOffsetIntensity = 0.35;

float4 VHSPS(PS_INPUT input) : SV_Target
{
    float2 uv = input.Tex;

    // Bands of horizontal wobble that run down the picture at their own speeds.
    for (float i = 0.0; i < 0.71; i += 0.1313)
    {
        float d = ModFloor(fTime * i, 1.7);
        float o = sin(1.0 - tan(fTime * 0.24 * i)) * offsetIntensity;
        uv.x += smoothstep(d - range, d, uv.y) * o - smoothstep(d, d + range, uv.y) * o;
    }

    // Per-row jitter.
    float uvY = trunc(uv.y * noiseQuality) / noiseQuality;
    float noise = frac(sin(dot(float2(fTime * 0.00001, uvY), float2(12.9898, 78.233))) * 43758.5453);
    uv.x += noise * noiseIntensity;

    float2 offsetR = float2(0.006 * sin(fTime) * colorOffsetIntensity, 0.0);
    float2 offsetG = float2(0.0073 * cos(fTime * 0.97) * colorOffsetIntensity, 0.0);

    float r = txSource.Sample(samLinear, uv + offsetR).r;
    float g = txSource.Sample(samLinear, uv + offsetG).g;
    float b = txSource.Sample(samLinear, uv).b;
    return float4(r, g, b, 1.0);
}
