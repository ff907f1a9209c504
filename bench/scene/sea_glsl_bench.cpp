// The sea view's formula written by hand in GLSL and drawn with plain GL: what the pass
// would cost a native GL program, against which the system's translated program is
// measured. Before timing, its picture is compared with the system's at the same size and
// music time, so both sides are known to do the same work.
#include <benchmark/benchmark.h>
#include <math.h>
#include <stdio.h>

#include "app/main_loop.h"
#include "frame_baselines.h"
#include "plain_gl.h"
#include "test_support.h"
#include "scene/sea_view.h"
#include "scene_fixture.h"

namespace quarvel::bench {
namespace {

const char* const kPixelSource = R"(#version 450
uniform float fTime;
uniform sampler2D sky;
in vec2 tex;
layout(location = 0) out vec4 colour;

const float PI = 3.141592;
const float EPSILON_NRM = 0.1 / 1920.0;
const mat2 octave_m = mat2(1.6, 1.2, -1.2, 1.6);

float hash(vec2 p) { return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453123); }

float noise(vec2 p) {
    vec2 i = floor(p);
    vec2 f = fract(p);
    vec2 u = f * f * (3.0 - 2.0 * f);
    return -1.0 + 2.0 * mix(mix(hash(i), hash(i + vec2(1.0, 0.0)), u.x),
                            mix(hash(i + vec2(0.0, 1.0)), hash(i + vec2(1.0, 1.0)), u.x), u.y);
}

float octave(vec2 uv) {
    uv += noise(uv);
    vec2 wv = 1.0 - abs(sin(uv));
    vec2 swv = abs(cos(uv));
    wv = mix(wv, swv, wv);
    return wv.x;
}

float height(vec3 p) {
    float seatime = 1.0 + 1.8 * fTime;
    float freq = 0.16;
    float amp = 0.8;
    vec2 uv = p.xz;
    float h = 0.0;
    for (int i = 0; i < 3; i++) {
        float d = octave((uv + seatime) * freq);
        d += octave((uv - seatime) * freq);
        h += d * amp;
        uv = octave_m * uv;
        freq *= 1.5;
        amp *= 0.25;
    }
    h -= 5.0 + 5.0 * sin(p.z * 0.05 + 0.001 * 320.0 * fTime);
    h -= 5.0 + 5.0 * cos(p.x * 0.05 + 0.001 * -260.0 * fTime);
    return p.y - h;
}

vec3 normal(vec3 p, float eps) {
    vec3 n;
    n.y = height(p);
    n.x = height(vec3(p.x + eps, p.y, p.z)) - n.y;
    n.z = height(vec3(p.x, p.y, p.z + eps)) - n.y;
    n.y = eps;
    return normalize(n);
}

vec3 skyAlong(vec3 d) { return texture(sky, vec2(-d.x * 0.5 + 0.5, -d.y * 0.8 + 0.5)).rgb; }

vec3 trace(vec3 ro, vec3 rd) {
    float tm = 0.0;
    float tx = 1500.0;
    float hx = height(ro + rd * tx);
    if (hx > 0.0) return ro + rd * tx;
    float hm = height(ro);
    vec3 p = ro;
    for (int i = 0; i < 24; i++) {
        float tmid = mix(tm, tx, hm / (hm - hx));
        p = ro + rd * tmid;
        float hmid = height(p);
        if (hmid < 0.0) {
            tx = tmid;
            hx = hmid;
        } else {
            tm = tmid;
            hm = hmid;
        }
    }
    return p;
}

void main() {
    float t = fTime;
    vec2 s = tex * 2.0 - 1.0;
    s.x *= 1.777;

    vec3 ro = vec3(0.0, 6.0 + 0.5 * cos(0.5 * t), 5.0 * t);
    vec3 target = vec3(0.0, 6.0 + 0.5 * cos(0.01 + 0.5 * t), 5.0 * t + 0.1);
    vec3 cw = normalize(target - ro);
    vec3 cu = normalize(cross(cw, vec3(0.0, 1.0, 0.0)));
    vec3 cv = normalize(cross(cu, cw));
    vec3 q = vec3(s.x, s.y, 1.5);
    vec3 rd = normalize(vec3(dot(cu, q), dot(cv, q), dot(cw, q)));

    vec3 pos = trace(ro, rd);
    vec3 dist = pos - ro;
    vec3 nor = normal(pos, dot(dist, dist) * EPSILON_NRM);

    vec3 light = normalize(vec3(0.0, 0.3, 1.0));
    vec3 lightColour = vec3(0.95, 0.95, 0.64);
    vec3 skyColour = skyAlong(rd);
    vec3 reflected = skyAlong(reflect(rd, nor));

    float fresnel = clamp(1.0 - dot(nor, -rd), 0.0, 0.9);
    fresnel = pow(fresnel, 4.0) * 0.5;
    float diffuse = pow(dot(nor, light) * 0.5 + 0.5, 8.0);
    vec3 refracted = vec3(0.0, 0.04, 0.09) + diffuse * vec3(0.8, 0.9, 0.6) * 1.5;
    vec3 sea = mix(refracted, reflected, fresnel);

    float atten = max(1.0 - dot(dist, dist) * 0.001, 0.0);
    sea += vec3(0.8, 0.9, 0.6) * 0.6 * (pos.y - 0.8) * 0.01 * atten;
    sea += lightColour * pow(max(dot(reflect(rd, nor), light), 0.0), 100.0) * 100.0 / (PI * 4.0);

    sea = 1.0 - exp(-sea);
    sea = pow(max(sea, 0.0), vec3(2.2));
    sea = pow(sea, vec3(0.4545));

    float mask = pow(smoothstep(0.0, 0.035, -rd.y), 1.9);
    colour = vec4(mix(skyColour, sea, mask), 1.0);
}
)";

struct SeaGlsl {
    GLuint program = 0, sky = 0;
    GLint time = -1;
    PlainQuad quad;
    PlainTarget target;
};

void Draw(const SeaGlsl& gl) {
    glBindFramebuffer(GL_FRAMEBUFFER, gl.target.framebuffer);
    glViewport(0, 0, gl.target.width, gl.target.height);
    glUseProgram(gl.program);
    glBindVertexArray(gl.quad.vertexArray);
    glBindTextureUnit(0, gl.sky);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

// The system's sea at this music time over an RGBA8 target of the context's size.
std::vector<uint8_t> SystemSea(int width, int height) {
    RenderTarget target = test::MakeTarget(width, height);
    test::BindWholeTarget(target, width, height);
    const float factor[4] = {};
    graphics.context->OMSetBlendState(graphics.blendOpaque, factor, 0xFFFFFFFF);
    graphics.context->OMSetDepthStencilState(graphics.depthOff, 1);
    graphics.context->RSSetState(graphics.cullBack);
    musicTimeMs = kSeaMs;
    DrawSeaView();
    const test::Pixels pixels = test::ReadTexture(target.texture);
    test::ReleaseTarget(target);
    std::vector<uint8_t> bytes(pixels.rgba.size());
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = (uint8_t)lrintf(pixels.rgba[i] * 255.0f);
    return bytes;
}

}  // namespace

void PlainSeaGlsl(benchmark::State& state, int width, int height) {
    const std::vector<uint8_t> system = SystemSea(width, height);
    PlainGlScope scope;
    if (!scope.ok()) return state.SkipWithError(scope.why().c_str());
    SeaGlsl gl;
    std::string log;
    gl.program = hlsl::test::LinkProgram(kPlainQuadVertexSource, kPixelSource, log);
    gl.sky = LoadPlainTexture("Data/_neon_sunset_SUN_and_MNTNS.png");
    if (!gl.program || !gl.sky) {
        glDeleteProgram(gl.program);
        glDeleteTextures(1, &gl.sky);
        return state.SkipWithError(gl.program ? "the sky picture cannot be read" : log.c_str());
    }
    gl.time = glGetUniformLocation(gl.program, "fTime");
    glProgramUniform1f(gl.program, gl.time, (float)kSeaMs * 0.001f);
    glProgramUniform1i(gl.program, glGetUniformLocation(gl.program, "sky"), 0);
    gl.quad = MakePlainQuad();
    gl.target = MakePlainTarget(width, height);

    Draw(gl);
    std::string why;
    const std::vector<uint8_t> mine = ReadPlainTarget(gl.target);
    const bool same = PicturesMatch(system, mine, "hand-written sea", why);
    state.SetLabel(why.substr(why.find(':') + 2));
    if (!same) state.SkipWithError(why.c_str());
    for (auto _ : state) {
        Draw(gl);
        glFinish();
    }
    FreePlainTarget(gl.target);
    FreePlainQuad(gl.quad);
    glDeleteTextures(1, &gl.sky);
    glDeleteProgram(gl.program);
}

}  // namespace quarvel::bench
