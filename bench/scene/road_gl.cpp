// The road scene's draws written in plain GL, as a careful GL programmer would write them:
// the same geometry (the pylon mesh, the boxes and sagging strips built by the system's own
// geometry routines), the same shaders written in GLSL, the same state changes and the same
// uploads per draw, with the vertices and constant blocks streamed through one persistently
// mapped buffer and bound by range. It is the baseline of the stand-in's road-scene draws.
#include "road_gl.h"

#include <stdio.h>
#include <string.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "draw/box_geometry.h"
#include "draw/constant_blocks.h"
#include "draw/screen_geometry.h"
#include "gfx/cube_data.h"
#include "plain_gl.h"
#include "scene/road_camera.h"
#include "scene/road_motion.h"
#include "scene/road_scene.h"
#include "scene/wire_anchors.h"
#include "test_support.h"

namespace quarvel::bench {
namespace {

// cbCube at binding 0, cbLight at 3 (which these shaders do not read, but the draws write,
// as the system's do), the sprite colour at 2.
const char* const kVertex3D = R"(#version 450
layout(std140, binding = 0) uniform Cube { mat4 World; mat4 View; mat4 Projection; mat4 WorldViewInverse;
                                          vec4 vMeshColor; vec3 CameraPosition; };
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texcoord;
out vec2 tex;
void main() { gl_Position = vec4(position, 1.0) * World * View * Projection; tex = texcoord; }
)";
// z / w of the pixel: gl_FragCoord.w is 1 / w.
const char* const kLineArtPixel = R"(#version 450
layout(std140, binding = 0) uniform Cube { mat4 World; mat4 View; mat4 Projection; mat4 WorldViewInverse;
                                          vec4 vMeshColor; vec3 CameraPosition; };
layout(location = 0) out vec4 colour;
void main() { colour = vec4(vMeshColor.rgb, pow(clamp(gl_FragCoord.z * gl_FragCoord.w, 0.0, 1.0), 0.1)); }
)";
const char* const kTexturePixel = R"(#version 450
layout(binding = 0) uniform sampler2D picture;
in vec2 tex;
layout(location = 0) out vec4 colour;
void main() { colour = texture(picture, tex); }
)";
const char* const kSpritePixel = R"(#version 450
layout(std140, binding = 2) uniform Colour { vec4 vColor; };
layout(binding = 0) uniform sampler2D picture;
in vec2 tex;
layout(location = 0) out vec4 colour;
void main() { colour = texture(picture, tex) * vColor; }
)";

const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

// One persistently mapped buffer in two halves; a half is written again only after the fence
// set when it was left has passed.
class Stream {
public:
    static constexpr GLsizeiptr kHalf = 8 << 20;
    Stream() {
        glGetIntegerv(GL_UNIFORM_BUFFER_OFFSET_ALIGNMENT, &uniformAlignment_);
        const GLbitfield flags = GL_MAP_WRITE_BIT | GL_MAP_PERSISTENT_BIT | GL_MAP_COHERENT_BIT;
        glCreateBuffers(1, &buffer_);
        glNamedBufferStorage(buffer_, 2 * kHalf, nullptr, flags);
        data_ = static_cast<uint8_t*>(glMapNamedBufferRange(buffer_, 0, 2 * kHalf, flags));
    }
    ~Stream() {
        for (GLsync fence : fences_)
            if (fence) glDeleteSync(fence);
        glUnmapNamedBuffer(buffer_);
        glDeleteBuffers(1, &buffer_);
    }
    GLuint buffer() const { return buffer_; }
    GLintptr Put(const void* bytes, GLsizeiptr size, bool uniform) {
        const GLintptr alignment = uniform ? uniformAlignment_ : 16;
        GLintptr at = (head_ + alignment - 1) & ~(alignment - 1);
        const GLintptr halfEnd = (half_ + 1) * kHalf;
        if (at + size > halfEnd) {
            fences_[half_] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
            half_ ^= 1;
            if (fences_[half_]) {
                glClientWaitSync(fences_[half_], GL_SYNC_FLUSH_COMMANDS_BIT, 10'000'000'000ull);
                glDeleteSync(fences_[half_]);
                fences_[half_] = nullptr;
            }
            at = half_ * kHalf;
        }
        memcpy(data_ + at, bytes, size_t(size));
        head_ = at + size;
        return at;
    }

private:
    GLuint buffer_ = 0;
    uint8_t* data_ = nullptr;
    GLint uniformAlignment_ = 256;
    GLintptr head_ = 0;
    int half_ = 0;
    GLsync fences_[2] = {};
};

struct Mesh {
    GLuint vertices = 0, indices = 0;
    GLsizei indexCount = 0;
};

// The pylon mesh as the loader makes it: positions scaled, each vertex reordered.
Mesh LoadPylonMesh() {
    std::ifstream file("Data/overheadpylon.vbo", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Mesh mesh;
    if (bytes.size() < 8) return mesh;
    int32_t counts[2];
    memcpy(counts, bytes.data(), 8);
    const size_t need = 8 + size_t(counts[0]) * 32 + size_t(counts[1]) * 4;
    if (counts[0] <= 0 || counts[1] <= 0 || bytes.size() < need) return mesh;
    std::vector<MeshVertex> vertices(static_cast<size_t>(counts[0]));
    for (size_t i = 0; i < vertices.size(); ++i) {
        float f[8];  // position, normal, texcoord
        memcpy(f, bytes.data() + 8 + i * 32, 32);
        vertices[i] = {f[0] * 0.0075f, f[1] * 0.0075f, f[2] * 0.0075f, f[6], f[7], f[3], f[4], f[5]};
    }
    glCreateBuffers(1, &mesh.vertices);
    glNamedBufferStorage(mesh.vertices, GLsizeiptr(vertices.size() * sizeof(MeshVertex)), vertices.data(), 0);
    glCreateBuffers(1, &mesh.indices);
    glNamedBufferStorage(mesh.indices, GLsizeiptr(counts[1]) * 4, bytes.data() + 8 + size_t(counts[0]) * 32, 0);
    mesh.indexCount = counts[1];
    return mesh;
}

GLuint MakeVertexArray() {
    GLuint vao = 0;
    glCreateVertexArrays(1, &vao);
    glEnableVertexArrayAttrib(vao, 0);
    glVertexArrayAttribFormat(vao, 0, 3, GL_FLOAT, GL_FALSE, 0);
    glVertexArrayAttribBinding(vao, 0, 0);
    glEnableVertexArrayAttrib(vao, 1);
    glVertexArrayAttribFormat(vao, 1, 2, GL_FLOAT, GL_FALSE, 12);
    glVertexArrayAttribBinding(vao, 1, 0);
    return vao;
}

GLuint MakeSampler(GLenum wrap) {
    GLuint sampler = 0;
    glCreateSamplers(1, &sampler);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    for (GLenum axis : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_WRAP_R}) glSamplerParameteri(sampler, axis, wrap);
    return sampler;
}

}  // namespace

struct PlainRoadScene::Parts {
    Stream stream;
    GLuint lineArt = 0, textured = 0, sprite = 0;
    GLuint meshArray = 0, screenArray = 0;
    GLuint boxIndices = 0, stripIndices = 0;
    GLuint clamp = 0, wrap = 0;
    Mesh pylon;
    GLuint background = 0, car = 0, wheel134 = 0, wheel142 = 0, billboard1 = 0, billboard2 = 0;
    GLuint colour = 0, depth = 0, framebuffer = 0;
    int width = 0, height = 0;
    XMMATRIX view, projection;
    GLintptr stripVertices = 0;  // the strip geometry of the last rebuild
    GLuint program = 0, vertexArray = 0;

    void Use(GLuint p, GLuint vao) {
        if (p != program) glUseProgram(program = p);
        if (vao != vertexArray) glBindVertexArray(vertexArray = vao);
    }
    void Blend(bool alpha) {
        if (alpha) {
            glEnablei(GL_BLEND, 0);
            glBlendFuncSeparatei(0, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ZERO);
        } else {
            glDisablei(GL_BLEND, 0);
        }
    }
    void Depth(bool on) { on ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST); }

    // The two blocks each 3D draw writes, bound by range.
    void Blocks(const CubeConstants& cube, const LightConstants& light) {
        const GLintptr c = stream.Put(&cube, sizeof cube, true);
        glBindBufferRange(GL_UNIFORM_BUFFER, 0, stream.buffer(), c, sizeof cube);
        const GLintptr l = stream.Put(&light, sizeof light, true);
        glBindBufferRange(GL_UNIFORM_BUFFER, 3, stream.buffer(), l, sizeof light);
    }
    void DrawMesh(const XMMATRIX& world) {
        CubeConstants cube = FillTransforms(world, view, projection, lineColour);
        XMStoreFloat4x4(&cube.WorldViewInverse, XMMatrixTranspose(XMMatrixInverse(NULL, view)));
        Blocks(cube, MeshLight());
        Use(lineArt, meshArray);
        glVertexArrayVertexBuffer(meshArray, 0, pylon.vertices, 0, sizeof(MeshVertex));
        glVertexArrayElementBuffer(meshArray, pylon.indices);
        glDrawElements(GL_TRIANGLES, pylon.indexCount, GL_UNSIGNED_INT, nullptr);
    }
    void DrawBox(const XMMATRIX& world, float sx, float sy, float sz) {
        MeshVertex vertices[24];
        BuildBoxVertices(vertices, sx, sy, sz);
        const GLintptr at = stream.Put(vertices, sizeof vertices, false);
        Blocks(FillTransforms(world, view, projection, lineColour), BoxLight());
        Use(lineArt, meshArray);
        glVertexArrayVertexBuffer(meshArray, 0, stream.buffer(), at, sizeof(MeshVertex));
        glVertexArrayElementBuffer(meshArray, boxIndices);
        glDrawElements(GL_TRIANGLES, 36, GL_UNSIGNED_SHORT, nullptr);
    }
    void DrawStrip(const XMMATRIX& world, float sx, float sy, float sz, float amplitude, bool rebuild) {
        if (rebuild) {
            static MeshVertex vertices[kSagStripVertices];
            BuildSagStripVertices(vertices, sx, sy, sz, amplitude);
            stripVertices = stream.Put(vertices, sizeof vertices, false);
        }
        Blocks(FillTransforms(world, view, projection, lineColour), BoxLight());
        Use(lineArt, meshArray);
        glVertexArrayVertexBuffer(meshArray, 0, stream.buffer(), stripVertices, sizeof(MeshVertex));
        glVertexArrayElementBuffer(meshArray, stripIndices);
        glDrawElements(GL_TRIANGLES, kSagStripBoxes * 36, GL_UNSIGNED_SHORT, nullptr);
    }
    void DrawPlane(GLuint picture, const XMMATRIX& world, float w, float h) {
        Blocks(FillTransforms(world, view, projection, kWhite), PlaneLight());
        MeshVertex vertices[4];
        BuildPlaneVertices(vertices, w, h);
        const GLintptr at = stream.Put(vertices, sizeof vertices, false);
        Use(textured, meshArray);
        glVertexArrayVertexBuffer(meshArray, 0, stream.buffer(), at, sizeof(MeshVertex));
        glBindSampler(0, clamp);
        glBindTextureUnit(0, picture);
        glDisable(GL_CULL_FACE);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glEnable(GL_CULL_FACE);
    }
    void DrawSprite(GLuint picture, const ScreenVertex quad[4]) {
        Depth(false);
        const GLintptr c = stream.Put(kWhite, sizeof kWhite, true);
        glBindBufferRange(GL_UNIFORM_BUFFER, 2, stream.buffer(), c, sizeof kWhite);
        const GLintptr at = stream.Put(quad, 4 * sizeof(ScreenVertex), false);
        Use(sprite, screenArray);
        glVertexArrayVertexBuffer(screenArray, 0, stream.buffer(), at, sizeof(ScreenVertex));
        glBindSampler(0, clamp);
        glBindTextureUnit(0, picture);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        Depth(true);
    }
    void Sprite(GLuint picture, float x, float y, float w, float h) {
        ScreenVertex quad[4];
        BuildSpriteQuad(quad, x, y, w, h, 0.0f, 0.0f, 1.0f, 1.0f);
        DrawSprite(picture, quad);
    }
    void Wheel(GLuint picture, float x, float y, float size, float angle) {
        ScreenVertex quad[4];
        BuildRotatedSpriteQuad(quad, x, y, size, size, angle);
        DrawSprite(picture, quad);
    }
};

PlainRoadScene::PlainRoadScene(int width, int height) : parts_(new Parts) {
    Parts& p = *parts_;
    p.width = width;
    p.height = height;
    std::string log;
    p.lineArt = hlsl::test::LinkProgram(kVertex3D, kLineArtPixel, log);
    p.textured = hlsl::test::LinkProgram(kVertex3D, kTexturePixel, log);
    p.sprite = hlsl::test::LinkProgram(kPlainQuadVertexSource, kSpritePixel, log);
    if (!p.lineArt || !p.textured || !p.sprite) {
        why_ = "the baseline's shaders do not link: " + log;
        return;
    }
    p.meshArray = MakeVertexArray();
    p.screenArray = MakeVertexArray();
    std::vector<WORD> indices(kBoxBatchBoxes * 36);
    FillBoxBatchIndices(indices.data());
    glCreateBuffers(1, &p.stripIndices);
    glNamedBufferStorage(p.stripIndices, GLsizeiptr(indices.size() * 2), indices.data(), 0);
    glCreateBuffers(1, &p.boxIndices);
    glNamedBufferStorage(p.boxIndices, 36 * 2, indices.data(), 0);
    p.clamp = MakeSampler(GL_CLAMP_TO_EDGE);
    p.wrap = MakeSampler(GL_REPEAT);
    p.pylon = LoadPylonMesh();
    p.background = LoadPlainTexture("Data/_Ketra_road_scene_background.png");
    p.car = LoadPlainTexture("Data/_Ketra_road_scene_car_1080_opa_win.png");
    p.wheel134 = LoadPlainTexture("Data/_Ketra_road_scene_car_wheel_134x134.png");
    p.wheel142 = LoadPlainTexture("Data/_Ketra_road_scene_car_wheel_142x142.png");
    p.billboard1 = LoadPlainTexture("Data/_Ketra_road_scene_billboard_1_nagy2.png");
    p.billboard2 = LoadPlainTexture("Data/_Ketra_road_scene_billboard_2_nagy2.png");
    if (!p.pylon.indexCount || !p.background || !p.car || !p.wheel134 || !p.wheel142 || !p.billboard1 ||
        !p.billboard2) {
        why_ = "the scene's data files cannot be read (run from the build tree's top)";
        return;
    }
    glCreateTextures(GL_TEXTURE_2D, 1, &p.colour);
    glTextureStorage2D(p.colour, 1, GL_RGBA8, width, height);
    glCreateTextures(GL_TEXTURE_2D, 1, &p.depth);
    glTextureStorage2D(p.depth, 1, GL_DEPTH24_STENCIL8, width, height);
    glCreateFramebuffers(1, &p.framebuffer);
    glNamedFramebufferTexture(p.framebuffer, GL_COLOR_ATTACHMENT0, p.colour, 0);
    glNamedFramebufferTexture(p.framebuffer, GL_DEPTH_STENCIL_ATTACHMENT, p.depth, 0);

    // Direct3D's conventions, as the scene is written for them: rows top first, depth 0..1,
    // clockwise front faces, depth clamped rather than clipped, and the stencil the depth
    // states keep (incremented and decremented where the depth test fails).
    glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_CLAMP);
    glDepthFunc(GL_LESS);
    glEnable(GL_STENCIL_TEST);
    glStencilFuncSeparate(GL_FRONT_AND_BACK, GL_ALWAYS, 1, 0xFF);
    glStencilOpSeparate(GL_FRONT, GL_KEEP, GL_INCR_WRAP, GL_KEEP);
    glStencilOpSeparate(GL_BACK, GL_KEEP, GL_DECR_WRAP, GL_KEEP);
    glEnable(GL_PRIMITIVE_RESTART_FIXED_INDEX);
    ok_ = true;
}

PlainRoadScene::~PlainRoadScene() {
    Parts& p = *parts_;
    // The baselines share one context: the next one must find GL's defaults, not the
    // Direct3D conventions set above (an upside-down clip space would flip its picture).
    glClipControl(GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    glFrontFace(GL_CCW);
    for (GLenum capability : {GL_CULL_FACE, GL_DEPTH_CLAMP, GL_DEPTH_TEST, GL_STENCIL_TEST,
                              GL_PRIMITIVE_RESTART_FIXED_INDEX})
        glDisable(capability);
    glDisablei(GL_BLEND, 0);
    glBindSampler(0, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    for (GLuint program : {p.lineArt, p.textured, p.sprite}) glDeleteProgram(program);
    const GLuint arrays[] = {p.meshArray, p.screenArray};
    glDeleteVertexArrays(2, arrays);
    const GLuint buffers[] = {p.boxIndices, p.stripIndices, p.pylon.vertices, p.pylon.indices};
    glDeleteBuffers(4, buffers);
    const GLuint samplers[] = {p.clamp, p.wrap};
    glDeleteSamplers(2, samplers);
    const GLuint textures[] = {p.background, p.car, p.wheel134, p.wheel142, p.billboard1, p.billboard2, p.colour, p.depth};
    glDeleteTextures(8, textures);
    glDeleteFramebuffers(1, &p.framebuffer);
}

void PlainRoadScene::Draw(float t) {
    Parts& p = *parts_;
    glBindFramebuffer(GL_FRAMEBUFFER, p.framebuffer);
    glViewport(0, 0, p.width, p.height);
    const float clear[4] = {0, 0, 0, 0};
    glClearBufferfv(GL_COLOR, 0, clear);
    glClearBufferfi(GL_DEPTH_STENCIL, 0, 1.0f, 0);
    p.Blend(false);
    p.Depth(true);

    p.Sprite(p.background, 0.0f, 0.0f, 1280.0f, 720.0f);
    p.view = RoadViewMatrix();
    p.projection = RoadProjectionMatrix();
    const RoadMotion motion = ComputeRoadMotion(t);
    p.Blend(true);
    bool firstWire = true;
    const XMMATRIX wireTurn = XMMatrixRotationY(1.57079601f);
    for (int w = -5; w <= 4; ++w) {
        const float x = 15.0f * (float)w + motion.phase15;
        for (int j = 0; j < 5; ++j) {
            const float z = 25.0f * (float)j + 15.0f;
            p.DrawMesh(XMMatrixTranslation(x, kPylonBaseY, z));
            for (const WireAnchor& anchor : wireAnchors) {
                const XMMATRIX at = XMMatrixTranslation(x + anchor.x, anchor.y, z + anchor.z);
                p.DrawBox(at, 0.125f, 0.125f, 0.25f);
                p.DrawStrip(XMMatrixMultiply(wireTurn, at), 0.5f, 0.02f, 0.02f, 250.0f, firstWire);
                firstWire = false;
            }
            p.DrawBox(XMMatrixTranslation(x + 2.0f * (float)j + 3.5f, 0.0f, 12.0f * (float)j + 12.5f), 0.5f, 0.5f, 0.5f);
        }
        const float x8 = 8.0f * (float)w + motion.phase8 + 0.5f;
        p.DrawBox(XMMatrixTranslation(x8, 0.7f, 2.5f), 0.03f, 1.6f, 0.03f);
        p.DrawBox(XMMatrixTranslation(x8, 1.5f, 2.5f), 0.03f, 0.03f, 0.5f);
    }
    const XMMATRIX upright = XMMatrixRotationX(1.5707963705062866f);
    p.DrawPlane(p.billboard2, XMMatrixMultiply(upright, XMMatrixTranslation(motion.travel - 15.0f, 1.25f, 10.0f)),
                4.38f, 3.0f);
    p.DrawPlane(p.billboard1, XMMatrixMultiply(upright, XMMatrixTranslation(motion.travel - 55.0f, 1.25f, 10.0f)),
                4.38f, 3.0f);
    p.Blend(false);
    for (int i = -2; i <= 1; ++i) {
        const float x = 8.0f * (float)i + motion.phase8 + 0.5f;
        for (float z : {2.65f, 2.5f, 2.35f})
            p.DrawStrip(XMMatrixTranslation(x, 1.5f, z), 0.16f, 0.01f, 0.01f, 50.0f, i == -2 && z == 2.65f);
    }
    for (int i = -4; i <= 2; ++i) {
        const float x1 = (float)i + motion.phase1;
        p.DrawBox(XMMatrixTranslation(2.0f * (float)i + motion.phase2, 0.0f, 2.0f), 0.01f, 0.1f, 0.01f);
        for (float y : {0.03f, 0.01f, 0.05f}) p.DrawBox(XMMatrixTranslation(x1, y, 2.0f), 1.0f, 0.01f, 0.01f);
    }
    p.Blend(true);
    p.Sprite(p.car, motion.carOffset, 0.0f, 1280.0f, 720.0f);
    p.Wheel(p.wheel134, motion.carOffset + 465.0f, 600.0f, 90.0f, motion.wheelAngle);
    p.Wheel(p.wheel142, motion.carOffset + 825.0f, 600.0f, 95.0f, motion.wheelAngle);
    p.Blend(false);
}

void PlainRoadScene::Finish() {
    uint8_t pixel[4];
    glBindFramebuffer(GL_READ_FRAMEBUFFER, parts_->framebuffer);
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

std::vector<uint8_t> PlainRoadScene::Pixels() {
    // The upper-left clip origin keeps the picture's top row in the texture's first row.
    std::vector<uint8_t> pixels(size_t(parts_->width) * parts_->height * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, parts_->framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, parts_->width, parts_->height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace quarvel::bench
