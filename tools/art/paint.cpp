#include "paint.h"

#include <math.h>
#include <stdio.h>

namespace art {

Colour Hex(uint32_t rgb) {
    return Colour{((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

Colour Mix(Colour a, Colour b, double t) {
    return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void SetSource(cairo_t* cr, Colour colour, double alpha) {
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
}

static void AddStops(cairo_pattern_t* pattern, std::initializer_list<Stop> stops) {
    for (const Stop& stop : stops)
        cairo_pattern_add_color_stop_rgba(pattern, stop.offset, stop.colour.r, stop.colour.g, stop.colour.b,
                                          stop.alpha);
}

cairo_pattern_t* LinearPattern(double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops) {
    cairo_pattern_t* pattern = cairo_pattern_create_linear(x0, y0, x1, y1);
    AddStops(pattern, stops);
    return pattern;
}

cairo_pattern_t* RadialPattern(double cx, double cy, double r0, double r1, std::initializer_list<Stop> stops) {
    cairo_pattern_t* pattern = cairo_pattern_create_radial(cx, cy, r0, cx, cy, r1);
    AddStops(pattern, stops);
    return pattern;
}

void UsePattern(cairo_t* cr, cairo_pattern_t* pattern) {
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

uint64_t Random::Next() {
    // splitmix64
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Random::Uniform() { return (double)(Next() >> 11) * (1.0 / 9007199254740992.0); }

static double Lattice(int x, int y, uint32_t seed) {
    uint32_t h = (uint32_t)x * 374761393u + (uint32_t)y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777215.0;
}

double ValueNoise(double x, double y, uint32_t seed) {
    const double fx = floor(x), fy = floor(y);
    const int ix = (int)fx, iy = (int)fy;
    double u = x - fx, v = y - fy;
    u = u * u * (3.0 - 2.0 * u);
    v = v * v * (3.0 - 2.0 * v);
    const double a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
    const double c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * u) + ((c + (d - c) * u) - (a + (b - a) * u)) * v;
}

double Fractal(double x, double y, int octaves, uint32_t seed) {
    double sum = 0.0, weight = 0.5, total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += ValueNoise(x, y, seed + (uint32_t)i * 101u) * weight;
        total += weight;
        x *= 2.03;
        y *= 2.03;
        weight *= 0.5;
    }
    return sum / total;
}

void AddGrain(cairo_surface_t* surface, double amount, uint32_t seed) {
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    Random random(seed);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = (uint32_t*)(data + (size_t)y * stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = row[x];
            const int a = (int)(pixel >> 24);
            if (a == 0) continue;
            // Premultiplied: the noise is scaled by coverage so edges stay clean.
            const int n = (int)lround((random.Uniform() * 2.0 - 1.0) * amount * a);
            int channel[3] = {(int)((pixel >> 16) & 0xFF), (int)((pixel >> 8) & 0xFF), (int)(pixel & 0xFF)};
            for (int& c : channel) c = c + n < 0 ? 0 : c + n > a ? a : c + n;
            row[x] = ((uint32_t)a << 24) | ((uint32_t)channel[0] << 16) | ((uint32_t)channel[1] << 8) |
                     (uint32_t)channel[2];
        }
    }
    cairo_surface_mark_dirty(surface);
}

void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0.0, 0.0, 1.0, 0.0, 2.0 * M_PI);
    cairo_restore(cr);
}

bool WritePng(cairo_surface_t* surface, const std::string& path) {
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        fprintf(stderr, "cannot write %s: %s\n", path.c_str(), cairo_status_to_string(status));
        return false;
    }
    return true;
}

}  // namespace art
