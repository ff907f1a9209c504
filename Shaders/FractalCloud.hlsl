// The sea view: a height field of layered wave octaves, ray-marched per pixel under the
// sunset sky picture, which shows above the horizon and is reflected in the water.

Texture2D txBG2 : register(t0);
SamplerState samLinear : register(s0);

cbuffer cb : register(b0)
{
    float fTime;
    float3 res;
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

static const float PI = 3.141592;
static const float EPSILON_NRM = 0.1 / 1920.0;
// Each octave turns and stretches the one before: (x, y) -> (1.6x - 1.2y, 1.2x + 1.6y).
static const float2x2 octave_m = float2x2(1.6, 1.2, -1.2, 1.6);

PS_INPUT VS(VS_INPUT input)
{
    PS_INPUT output;
    output.Pos = input.Pos;
    output.Tex = input.Tex;
    return output;
}

float hash(float2 p)
{
    float h = dot(p, float2(127.1, 311.7));
    return frac(sin(h) * 43758.5453123);
}

float noise(float2 p)
{
    float2 i = floor(p);
    float2 f = frac(p);
    float2 u = f * f * (3.0 - 2.0 * f);
    return -1.0 + 2.0 * lerp(lerp(hash(i + float2(0.0, 0.0)), hash(i + float2(1.0, 0.0)), u.x),
                             lerp(hash(i + float2(0.0, 1.0)), hash(i + float2(1.0, 1.0)), u.x), u.y);
}

float octave(float2 uv)
{
    uv += noise(uv);
    float2 wv = 1.0 - abs(sin(uv));
    float2 swv = abs(cos(uv));
    wv = lerp(wv, swv, wv);
    return wv.x;
}

// Signed height of p above the sea surface.
float height(float3 p)
{
    float seatime = 1.0 + 1.8 * fTime;
    float freq = 0.16;
    float amp = 0.8;
    float2 uv = p.xz;
    float h = 0.0;
    for (int i = 0; i < 3; i++)
    {
        float d = octave((uv + seatime) * freq);
        d += octave((uv - seatime) * freq);
        h += d * amp;
        uv = mul(uv, octave_m);
        freq *= 1.5;
        amp *= 0.25;
    }
    // Long swells that lift and sink the whole sea.
    h -= 5.0 + 5.0 * sin(p.z * 0.05 + 0.001 * 320.0 * fTime);
    h -= 5.0 + 5.0 * cos(p.x * 0.05 + 0.001 * -260.0 * fTime);
    return p.y - h;
}

float3 normal(float3 p, float eps)
{
    float3 n;
    n.y = height(p);
    n.x = height(float3(p.x + eps, p.y, p.z)) - n.y;
    n.z = height(float3(p.x, p.y, p.z + eps)) - n.y;
    n.y = eps;
    return normalize(n);
}

float3 sky(float3 d)
{
    return txBG2.Sample(samLinear, float2(-d.x * 0.5 + 0.5, -d.y * 0.8 + 0.5)).rgb;
}

// Bisection between the camera and a point 1500 units out, refined by where the height
// changes sign; a ray that stays above the sea ends at the far point.
float3 trace(float3 ro, float3 rd)
{
    float tm = 0.0;
    float tx = 1500.0;
    float hx = height(ro + rd * tx);
    if (hx > 0.0)
        return ro + rd * tx;
    float hm = height(ro);
    float3 p = ro;
    for (int i = 0; i < 24; i++)
    {
        float tmid = lerp(tm, tx, hm / (hm - hx));
        p = ro + rd * tmid;
        float hmid = height(p);
        if (hmid < 0.0)
        {
            tx = tmid;
            hx = hmid;
        }
        else
        {
            tm = tmid;
            hm = hmid;
        }
    }
    return p;
}

float4 FractalCloudPS(PS_INPUT input) : SV_Target
{
    float t = fTime;
    float2 s = input.Tex * 2.0 - 1.0;
    s.x *= 1.777;

    float3 ro = float3(0.0, 6.0 + 0.5 * cos(0.5 * t), 5.0 * t);
    float3 target = float3(0.0, 6.0 + 0.5 * cos(0.01 + 0.5 * t), 5.0 * t + 0.1);
    float3 cw = normalize(target - ro);
    float3 cp = float3(0.0, 1.0, 0.0);
    float3 cu = normalize(cross(cw, cp));
    float3 cv = normalize(cross(cu, cw));
    float3 q = float3(s.x, s.y, 1.5);
    float3 rd = normalize(float3(dot(cu, q), dot(cv, q), dot(cw, q)));

    float3 pos = trace(ro, rd);
    float3 dist = pos - ro;
    float3 nor = normal(pos, dot(dist, dist) * EPSILON_NRM);

    float3 light = normalize(float3(0.0, 0.3, 1.0));
    float3 lightColour = float3(0.95, 0.95, 0.64);
    float3 skyColour = sky(rd);
    float3 reflected = sky(reflect(rd, nor));

    float fresnel = clamp(1.0 - dot(nor, -rd), 0.0, 0.9);
    fresnel = pow(fresnel, 4.0) * 0.5;
    float diffuse = pow(dot(nor, light) * 0.5 + 0.5, 8.0);
    float3 refracted = float3(0.0, 0.04, 0.09) + diffuse * float3(0.8, 0.9, 0.6) * 1.5;
    float3 sea = lerp(refracted, reflected, fresnel);

    float atten = max(1.0 - dot(dist, dist) * 0.001, 0.0);
    sea += float3(0.8, 0.9, 0.6) * 0.6 * (pos.y - 0.8) * 0.01 * atten;
    sea += lightColour * pow(max(dot(reflect(rd, nor), light), 0.0), 100.0) * 100.0 / (PI * 4.0);

    sea = 1.0 - exp(-sea);
    // Near water far below its rest height darkens the colour past zero; the power of a
    // negative number is undefined (NaN on the GPU), so the tone starts from black there.
    sea = pow(max(sea, 0.0), 2.2);
    sea = pow(sea, 0.4545);

    float mask = pow(smoothstep(0.0, 0.035, -rd.y), 1.9);
    return float4(lerp(skyColour, sea, mask), 1.0);
}
