// Film grain: fine grey noise around middle grey, clumped a little the way silver grain
// is, and seamless so it tiles.
#include <math.h>
#include <stdint.h>

#include <vector>

#include "paint.h"
#include "pictures.h"

namespace art {

void PaintGrain(cairo_t* cr) {
    cairo_surface_t* surface = cairo_get_target(cr);
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    Random random(97);
    std::vector<double> noise((size_t)width * height);
    for (double& n : noise) n = random.Uniform() + random.Uniform() + random.Uniform() - 1.5;  // near Gaussian
    for (int y = 0; y < height; ++y) {
        uint32_t* row = (uint32_t*)(data + (size_t)y * stride);
        for (int x = 0; x < width; ++x) {
            // Each grain shares a little with its neighbours (wrapping at the edges).
            double sum = noise[(size_t)y * width + x] * 0.6;
            sum += noise[(size_t)y * width + (x + 1) % width] * 0.2;
            sum += noise[(size_t)((y + 1) % height) * width + x] * 0.2;
            const int v = (int)lround(128.0 + sum * 70.0);
            const uint32_t g = (uint32_t)(v < 0 ? 0 : v > 255 ? 255 : v);
            row[x] = 0xFF000000u | (g << 16) | (g << 8) | g;
        }
    }
    cairo_surface_mark_dirty(surface);
}

}  // namespace art
