#include "plain_gl.h"

#include <SDL2/SDL.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "core/video.h"

namespace quarvel::bench {
namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;

bool MakeContext(std::string& why) {
    if (context) return true;
    if (!core::InitVideo()) {
        why = "SDL video could not be started";
        return false;
    }
    window = SDL_CreateWindow("plain GL baseline", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) why = std::string("no GL context for the baselines: ") + SDL_GetError();
    return context != nullptr;
}

}  // namespace

PlainGlScope::PlainGlScope() {
    previousWindow_ = SDL_GL_GetCurrentWindow();
    previousContext_ = SDL_GL_GetCurrentContext();
    ok_ = MakeContext(why_) && SDL_GL_MakeCurrent(window, context) == 0;
    if (!ok_ && why_.empty()) why_ = std::string("cannot make the baselines' context current: ") + SDL_GetError();
}

PlainGlScope::~PlainGlScope() {
    // The stand-in asks SDL which context is current before each call, so handing its own
    // back is only a courtesy; a thread without one keeps none.
    if (previousContext_) SDL_GL_MakeCurrent(static_cast<SDL_Window*>(previousWindow_), previousContext_);
}

PlainTarget MakePlainTarget(int width, int height) {
    PlainTarget target;
    target.width = width;
    target.height = height;
    glCreateTextures(GL_TEXTURE_2D, 1, &target.texture);
    glTextureStorage2D(target.texture, 1, GL_RGBA8, width, height);
    glCreateFramebuffers(1, &target.framebuffer);
    glNamedFramebufferTexture(target.framebuffer, GL_COLOR_ATTACHMENT0, target.texture, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glViewport(0, 0, width, height);
    return target;
}

void FreePlainTarget(PlainTarget& target) {
    glDeleteFramebuffers(1, &target.framebuffer);
    glDeleteTextures(1, &target.texture);
    target = {};
}

std::vector<uint8_t> ReadPlainTarget(const PlainTarget& target) {
    const size_t row = (size_t)target.width * 4;
    std::vector<uint8_t> bottomUp(row * target.height), topDown(row * target.height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target.framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, target.width, target.height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    for (int y = 0; y < target.height; ++y)
        std::copy_n(&bottomUp[(size_t)(target.height - 1 - y) * row], row, &topDown[(size_t)y * row]);
    return topDown;
}

const char* const kPlainQuadVertexSource = R"(#version 450
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texcoord;
out vec2 tex;
void main() { gl_Position = vec4(position, 1.0); tex = texcoord; }
)";

PlainQuad MakePlainQuad() {
    // x, y, z, u, v as the system's full-screen quad holds them.
    static const float vertices[4][5] = {
        {-1.0f, 1.0f, 0.0f, 0.0f, 1.0f},
        {1.0f, 1.0f, 0.0f, 1.0f, 1.0f},
        {-1.0f, -1.0f, 0.0f, 0.0f, 0.0f},
        {1.0f, -1.0f, 0.0f, 1.0f, 0.0f},
    };
    PlainQuad quad;
    glCreateBuffers(1, &quad.vertices);
    glNamedBufferData(quad.vertices, sizeof vertices, vertices, GL_STATIC_DRAW);
    glCreateVertexArrays(1, &quad.vertexArray);
    glVertexArrayVertexBuffer(quad.vertexArray, 0, quad.vertices, 0, sizeof vertices[0]);
    glEnableVertexArrayAttrib(quad.vertexArray, 0);
    glVertexArrayAttribFormat(quad.vertexArray, 0, 3, GL_FLOAT, GL_FALSE, 0);
    glVertexArrayAttribBinding(quad.vertexArray, 0, 0);
    glEnableVertexArrayAttrib(quad.vertexArray, 1);
    glVertexArrayAttribFormat(quad.vertexArray, 1, 2, GL_FLOAT, GL_FALSE, 12);
    glVertexArrayAttribBinding(quad.vertexArray, 1, 0);
    return quad;
}

void FreePlainQuad(PlainQuad& quad) {
    glDeleteVertexArrays(1, &quad.vertexArray);
    glDeleteBuffers(1, &quad.vertices);
    quad = {};
}

GLuint LoadPlainTexture(const char* path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> png((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory((const stbi_uc*)png.data(), (int)png.size(), &width, &height, &channels, 4);
    if (!pixels) return 0;
    GLuint texture = 0;
    glCreateTextures(GL_TEXTURE_2D, 1, &texture);
    glTextureStorage2D(texture, 1, GL_RGBA8, width, height);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTextureSubImage2D(texture, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    stbi_image_free(pixels);
    glTextureParameteri(texture, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTextureParameteri(texture, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTextureParameteri(texture, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return texture;
}

bool PicturesMatch(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, const char* what, std::string& why) {
    if (a.size() != b.size() || a.empty()) {
        why = std::string(what) + ": the two pictures differ in size";
        return false;
    }
    double sum = 0.0;
    size_t far = 0;
    const size_t pixels = a.size() / 4;
    for (size_t p = 0; p < pixels; ++p) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs((int)a[4 * p + c] - (int)b[4 * p + c]);
            sum += d;
            worst = std::max(d, worst);
        }
        far += worst > 4;
    }
    const double mean = sum / (3.0 * (double)pixels);
    const double farShare = (double)far / (double)pixels;
    char text[200];
    snprintf(text, sizeof text, "%s differs from the system's: mean %.3f levels, %.2f%% of pixels off by more than 4",
             what, mean, 100.0 * farShare);
    why = text;
    return mean < 0.5 && farShare < 0.01;
}

}  // namespace quarvel::bench
