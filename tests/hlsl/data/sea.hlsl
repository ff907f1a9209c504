// A height field ray-marched per pixel under a sky picture: the heaviest kind of shader the
// compiler sees (nested loops of noise, a bisection, tone mapping).
Texture2D txBG2 : register(t0);
SamplerState samLinear : register(s0);

cbuffer cb : register(b0)
{
    float fTime;
    float3 res;
};

struct VS_INPUT { float4 Pos : POSITION; float2 Tex : TEXCOORD0; };
struct PS_INPUT { float4 Pos : SV_POSITION; float2 Tex : TEXCOORD0; };

PS_INPUT VS(VS_INPUT input)
{
    PS_INPUT output;
    output.Pos = input.Pos;
    output.Tex = input.Tex;
    return output;
}

static const float PI = 3.141592;
static const float2x2 octaveMatrix = float2x2(1.6, 1.2, -1.2, 1.6);

float hash(float2 p) { return frac(sin(dot(p, float2(127.1, 311.7))) * 43758.5453123); }

float noise(float2 p)
{
    float2 i = floor(p);
    float2 f = frac(p);
    float2 u = f * f * (3.0 - 2.0 * f);
    return -1.0 + 2.0 * lerp(lerp(hash(i), hash(i + float2(1, 0)), u.x),
                             lerp(hash(i + float2(0, 1)), hash(i + float2(1, 1)), u.x), u.y);
}

float octave(float2 uv)
{
    uv += noise(uv);
    float2 w = 1.0 - abs(sin(uv));
    float2 s = abs(cos(uv));
    w = lerp(w, s, w);
    return w.x;
}

float height(float3 p)
{
    float seatime = 1.0 + 1.8 * fTime;
    float freq = 0.16;
    float amp = 0.8;
    float2 q = p.xz;
    float h = 0.0;
    for (int i = 0; i < 3; i++)
    {
        float d = octave((q + seatime) * freq) + octave((q - seatime) * freq);
        h += d * amp;
        q = mul(q, octaveMatrix);
        freq *= 1.5;
        amp *= 0.25;
    }
    h -= 5.0 + 5.0 * sin(p.z * 0.05 + 0.32 * fTime);
    h -= 5.0 + 5.0 * cos(p.x * 0.05 - 0.26 * fTime);
    return p.y - h;
}

float3 normalAt(float3 p, float eps)
{
    float3 n;
    n.y = height(p);
    n.x = height(p + float3(eps, 0, 0)) - n.y;
    n.z = height(p + float3(0, 0, eps)) - n.y;
    n.y = eps;
    return normalize(n);
}

float3 sky(float3 d) { return txBG2.Sample(samLinear, float2(-d.x * 0.5 + 0.5, -d.y * 0.8 + 0.5)).rgb; }

float3 trace(float3 ro, float3 rd)
{
    float tm = 0.0;
    float tx = 1500.0;
    float hx = height(ro + rd * tx);
    if (hx > 0.0) return ro + rd * tx;
    float hm = height(ro);
    float3 p = ro;
    for (int i = 0; i < 24; i++)
    {
        float tmid = lerp(tm, tx, hm / (hm - hx));
        p = ro + rd * tmid;
        float hmid = height(p);
        if (hmid < 0.0) { tx = tmid; hx = hmid; }
        else { tm = tmid; hm = hmid; }
    }
    return p;
}

float4 FractalCloudPS(PS_INPUT input) : SV_Target
{
    float2 s = input.Tex * 2.0 - 1.0;
    s.x *= 1.777;
    float3 ro = float3(0, 6 + 0.5 * cos(0.5 * fTime), 5 * fTime);
    float3 target = float3(0, 6 + 0.5 * cos(0.01 + 0.5 * fTime), 5 * fTime + 0.1);
    float3 cw = normalize(target - ro);
    float3 cu = normalize(cross(cw, float3(0, 1, 0)));
    float3 cv = normalize(cross(cu, cw));
    float3 q = float3(s, 1.5);
    float3 rd = normalize(float3(dot(cu, q), dot(cv, q), dot(cw, q)));

    float3 pos = trace(ro, rd);
    float3 dist = pos - ro;
    float3 nor = normalAt(pos, dot(dist, dist) * 0.1 / 1920.0);
    float3 light = normalize(float3(0, 0.3, 1));
    float3 skyColour = sky(rd);
    float3 reflected = sky(reflect(rd, nor));
    float fresnel = clamp(1.0 - dot(nor, -rd), 0.0, 0.9);
    fresnel = pow(fresnel, 4.0) * 0.5;
    float diffuse = pow(dot(nor, light) * 0.5 + 0.5, 8.0);
    float3 refracted = float3(0, 0.04, 0.09) + diffuse * float3(0.8, 0.9, 0.6) * 1.5;
    float3 sea = lerp(refracted, reflected, fresnel);
    float atten = max(1.0 - dot(dist, dist) * 0.001, 0.0);
    sea += float3(0.8, 0.9, 0.6) * 0.6 * (pos.y - 0.8) * 0.01 * atten;
    sea += float3(0.95, 0.95, 0.64) * pow(max(dot(reflect(rd, nor), light), 0.0), 100.0) * 100.0 / (PI * 4.0);
    sea = 1.0 - exp(-sea);
    sea = pow(sea, 2.2);
    sea = pow(sea, 0.4545);
    float mask = pow(smoothstep(0.0, 0.035, -rd.y), 1.9);
    return float4(lerp(skyColour, sea, mask), 1);
}
