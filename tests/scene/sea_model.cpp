#include "sea_model.h"

#include <math.h>
#include <stb_image.h>

#include <fstream>
#include <iterator>

namespace quarvel::test {
namespace {

struct Float2 {
    float x, y;
};

Float2 operator+(Float2 a, Float2 b) { return {a.x + b.x, a.y + b.y}; }
Float2 operator+(Float2 a, float s) { return {a.x + s, a.y + s}; }
Float2 operator-(Float2 a, float s) { return {a.x - s, a.y - s}; }
Float2 operator*(Float2 a, float s) { return {a.x * s, a.y * s}; }
Float3 operator+(Float3 a, Float3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Float3 operator-(Float3 a, Float3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Float3 operator*(Float3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Float3 operator*(float s, Float3 a) { return a * s; }
Float3 operator/(Float3 a, float s) { return {a.x / s, a.y / s, a.z / s}; }
Float3 operator-(Float3 a) { return {-a.x, -a.y, -a.z}; }

float Dot(Float3 a, Float3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Float3 Cross(Float3 a, Float3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Float3 Normalize(Float3 v) { return v * (1.0f / sqrtf(Dot(v, v))); }
Float3 Reflect(Float3 i, Float3 n) { return i - 2.0f * Dot(n, i) * n; }
float Frac(float x) { return x - floorf(x); }
float Lerp(float a, float b, float t) { return a + t * (b - a); }
Float3 Lerp(Float3 a, Float3 b, float t) { return {Lerp(a.x, b.x, t), Lerp(a.y, b.y, t), Lerp(a.z, b.z, t)}; }
float Clamp(float x, float lo, float hi) { return x < lo ? lo : x > hi ? hi : x; }
// The GPU's pow: exp2(y * log2(x)), NaN for a negative x.
float Pow(float x, float y) { return exp2f(y * log2f(x)); }
float SmoothStep(float lo, float hi, float x) {
    const float t = Clamp((x - lo) / (hi - lo), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

float Hash(Float2 p) {
    const float h = p.x * 127.1f + p.y * 311.7f;
    return Frac(sinf(h) * 43758.5453123f);
}

float Noise(Float2 p) {
    const Float2 i = {floorf(p.x), floorf(p.y)};
    const Float2 f = {Frac(p.x), Frac(p.y)};
    const Float2 u = {f.x * f.x * (3.0f - 2.0f * f.x), f.y * f.y * (3.0f - 2.0f * f.y)};
    return -1.0f + 2.0f * Lerp(Lerp(Hash(i), Hash(i + Float2{1, 0}), u.x),
                               Lerp(Hash(i + Float2{0, 1}), Hash(i + Float2{1, 1}), u.x), u.y);
}

float Octave(Float2 uv) {
    uv = uv + Noise(uv);
    Float2 wv = {1.0f - fabsf(sinf(uv.x)), 1.0f - fabsf(sinf(uv.y))};
    const Float2 swv = {fabsf(cosf(uv.x)), fabsf(cosf(uv.y))};
    wv = {Lerp(wv.x, swv.x, wv.x), Lerp(wv.y, swv.y, wv.y)};
    return wv.x;
}

float Height(Float3 p, float t) {
    const float seatime = 1.0f + 1.8f * t;
    float freq = 0.16f;
    float amp = 0.8f;
    Float2 uv = {p.x, p.z};
    float h = 0.0f;
    for (int i = 0; i < 3; ++i) {
        float d = Octave((uv + seatime) * freq);
        d += Octave((uv - seatime) * freq);
        h += d * amp;
        uv = {uv.x * 1.6f + uv.y * -1.2f, uv.x * 1.2f + uv.y * 1.6f};
        freq *= 1.5f;
        amp *= 0.25f;
    }
    h -= 5.0f + 5.0f * sinf(p.z * 0.05f + 0.001f * 320.0f * t);
    h -= 5.0f + 5.0f * cosf(p.x * 0.05f + 0.001f * -260.0f * t);
    return p.y - h;
}

Float3 Normal(Float3 p, float eps, float t) {
    Float3 n;
    n.y = Height(p, t);
    n.x = Height({p.x + eps, p.y, p.z}, t) - n.y;
    n.z = Height({p.x, p.y, p.z + eps}, t) - n.y;
    n.y = eps;
    return Normalize(n);
}

Float3 Trace(Float3 ro, Float3 rd, float t) {
    float tm = 0.0f, tx = 1500.0f;
    float hx = Height(ro + rd * tx, t);
    if (hx > 0.0f) return ro + rd * tx;
    float hm = Height(ro, t);
    Float3 p = ro;
    for (int i = 0; i < 24; ++i) {
        const float tmid = Lerp(tm, tx, hm / (hm - hx));
        p = ro + rd * tmid;
        const float hmid = Height(p, t);
        if (hmid < 0.0f) {
            tx = tmid;
            hx = hmid;
        } else {
            tm = tmid;
            hm = hmid;
        }
    }
    return p;
}

}  // namespace

bool Picture::Load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    int channels = 0;
    unsigned char* pixels = stbi_load_from_memory((const unsigned char*)bytes.data(), (int)bytes.size(), &width,
                                                  &height, &channels, 4);
    if (!pixels) return false;
    rgba.assign(pixels, pixels + (size_t)width * height * 4);
    stbi_image_free(pixels);
    return true;
}

Float3 Picture::Sample(float u, float v) const {
    const float x = u * width - 0.5f, y = v * height - 0.5f;
    const float fx = floorf(x), fy = floorf(y);
    const float ax = x - fx, ay = y - fy;
    auto texel = [&](int i, int j, int c) {
        i = ((i % width) + width) % width;
        j = ((j % height) + height) % height;
        return rgba[((size_t)j * width + i) * 4 + c] / 255.0f;
    };
    float out[3];
    for (int c = 0; c < 3; ++c) {
        const int i = (int)fx, j = (int)fy;
        const float top = texel(i, j, c) + (texel(i + 1, j, c) - texel(i, j, c)) * ax;
        const float bottom = texel(i, j + 1, c) + (texel(i + 1, j + 1, c) - texel(i, j + 1, c)) * ax;
        out[c] = top + (bottom - top) * ay;
    }
    return {out[0], out[1], out[2]};
}

SeaPixel EvaluateSeaPixel(const Picture& skyPicture, float t, float u, float v) {
    auto sky = [&](Float3 d) { return skyPicture.Sample(-d.x * 0.5f + 0.5f, -d.y * 0.8f + 0.5f); };
    SeaPixel out;
    Float2 s = {u * 2.0f - 1.0f, v * 2.0f - 1.0f};
    s.x *= 1.777f;

    const Float3 ro = {0.0f, 6.0f + 0.5f * cosf(0.5f * t), 5.0f * t};
    const Float3 target = {0.0f, 6.0f + 0.5f * cosf(0.01f + 0.5f * t), 5.0f * t + 0.1f};
    const Float3 cw = Normalize(target - ro);
    const Float3 cp = {0.0f, 1.0f, 0.0f};
    const Float3 cu = Normalize(Cross(cw, cp));
    const Float3 cv = Normalize(Cross(cu, cw));
    const Float3 q = {s.x, s.y, 1.5f};
    const Float3 rd = Normalize({Dot(cu, q), Dot(cv, q), Dot(cw, q)});

    const Float3 pos = Trace(ro, rd, t);
    const Float3 dist = pos - ro;
    const Float3 nor = Normal(pos, Dot(dist, dist) * (0.1f / 1920.0f), t);

    const Float3 light = Normalize({0.0f, 0.3f, 1.0f});
    const Float3 lightColour = {0.95f, 0.95f, 0.64f};
    const Float3 skyColour = sky(rd);
    const Float3 reflected = sky(Reflect(rd, nor));

    const float fresnel = Pow(Clamp(1.0f - Dot(nor, -rd), 0.0f, 0.9f), 4.0f) * 0.5f;
    const float diffuse = Pow(Dot(nor, light) * 0.5f + 0.5f, 8.0f);
    const Float3 refracted = Float3{0.0f, 0.04f, 0.09f} + diffuse * Float3{0.8f, 0.9f, 0.6f} * 1.5f;
    Float3 sea = Lerp(refracted, reflected, fresnel);

    const float atten = fmaxf(1.0f - Dot(dist, dist) * 0.001f, 0.0f);
    sea = sea + Float3{0.8f, 0.9f, 0.6f} * 0.6f * (pos.y - 0.8f) * 0.01f * atten;
    sea = sea + lightColour * Pow(fmaxf(Dot(Reflect(rd, nor), light), 0.0f), 100.0f) * 100.0f / (3.141592f * 4.0f);

    sea = {1.0f - expf(-sea.x), 1.0f - expf(-sea.y), 1.0f - expf(-sea.z)};
    auto tone = [](float x) { return Pow(Pow(fmaxf(x, 0.0f), 2.2f), 0.4545f); };
    sea = {tone(sea.x), tone(sea.y), tone(sea.z)};

    out.mask = Pow(SmoothStep(0.0f, 0.035f, -rd.y), 1.9f);
    out.colour = Lerp(skyColour, sea, out.mask);
    out.direction = rd;
    out.sky = skyColour;
    return out;
}

}  // namespace quarvel::test
