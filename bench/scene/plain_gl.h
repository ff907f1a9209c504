// What the plain-GL baselines of the frame benchmarks share: a GL 4.5 context of their own
// (on a hidden SDL window), so nothing they bind reaches the Direct3D stand-in's context,
// an RGBA8 target of a chosen size, and the full-screen quad as the system draws it.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <stdint.h>

#include <string>
#include <vector>

namespace quarvel::bench {

// Makes the baselines' context current for its lifetime and gives the previous one back
// after. ok() is false, with the reason in why(), when no context could be made.
class PlainGlScope {
public:
    PlainGlScope();
    ~PlainGlScope();
    PlainGlScope(const PlainGlScope&) = delete;
    PlainGlScope& operator=(const PlainGlScope&) = delete;
    bool ok() const { return ok_; }
    const std::string& why() const { return why_; }

private:
    void* previousWindow_ = nullptr;
    void* previousContext_ = nullptr;
    bool ok_ = false;
    std::string why_;
};

struct PlainTarget {
    GLuint texture = 0, framebuffer = 0;
    int width = 0, height = 0;
};
// An RGBA8 texture of this size attached to a framebuffer, bound for drawing over its
// whole size.
PlainTarget MakePlainTarget(int width, int height);
void FreePlainTarget(PlainTarget& target);
// The target's pixels, rows top first as the Direct3D read-back gives them.
std::vector<uint8_t> ReadPlainTarget(const PlainTarget& target);

// The four-vertex strip over the whole target with the system's positions and texture
// coordinates (v = 1 at the top), at attribute locations 0 (position) and 1 (texcoord).
struct PlainQuad {
    GLuint vertexArray = 0, vertices = 0;
};
PlainQuad MakePlainQuad();
void FreePlainQuad(PlainQuad& quad);
// The vertex shader for the quad: position through, texture coordinates out as `tex`.
extern const char* const kPlainQuadVertexSource;

// An RGBA8 texture with linear filtering and wrapping, one level, from a PNG file; 0 when
// the file cannot be read.
GLuint LoadPlainTexture(const char* path);

// Whether a baseline's RGBA8 picture shows what the system's does: on average under half a
// level per channel, and no more than one pixel in a hundred off by more than four levels
// (a last-bit difference in a sine or a power can move a visible edge now and then). `why`
// says how far apart they are, naming the baseline as `what`.
bool PicturesMatch(const std::vector<uint8_t>& system, const std::vector<uint8_t>& baseline, const char* what,
                   std::string& why);

}  // namespace quarvel::bench
