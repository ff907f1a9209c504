// The sea view's pixel shader evaluated on the CPU, operation for operation, for comparing
// with what the GPU draws.
#pragma once

#include <string>
#include <vector>

namespace quarvel::test {

struct Float3 {
    float x, y, z;
};

// A PNG decoded to RGBA8 as the texture loader decodes it.
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
    bool Load(const std::string& path);
    const unsigned char* At(int x, int y) const { return &rgba[((size_t)y * width + x) * 4]; }
    // Bilinear with wrapping, as the sea's linear-wrap sampler reads it.
    Float3 Sample(float u, float v) const;
};

struct SeaPixel {
    Float3 colour;     // the output rgb (alpha is always 1)
    Float3 direction;  // the view ray
    Float3 sky;        // the sky picture along the ray
    float mask;        // 0: sky only, 1: sea only
};

// uv as the full-screen quad gives it: v = 1 at the top of the screen.
SeaPixel EvaluateSeaPixel(const Picture& sky, float fTime, float u, float v);

}  // namespace quarvel::test
