// Small painting helpers over cairo shared by the picture generators: colours, gradients,
// a seeded random source and value noise, pixel-level grain and PNG output.
#pragma once

#include <cairo.h>
#include <stdint.h>

#include <initializer_list>
#include <string>

namespace art {

struct Colour {
    double r, g, b;
};

// 0xRRGGBB.
Colour Hex(uint32_t rgb);
Colour Mix(Colour a, Colour b, double t);
void SetSource(cairo_t* cr, Colour colour, double alpha = 1.0);

struct Stop {
    double offset;
    Colour colour;
    double alpha = 1.0;
};

// The caller owns the pattern (cairo_pattern_destroy).
cairo_pattern_t* LinearPattern(double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops);
cairo_pattern_t* RadialPattern(double cx, double cy, double r0, double r1, std::initializer_list<Stop> stops);
// Sets a pattern as the source and drops the caller's reference.
void UsePattern(cairo_t* cr, cairo_pattern_t* pattern);

// Deterministic, so every build paints the same pictures.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    double Uniform();  // [0, 1)
    double Range(double low, double high) { return low + (high - low) * Uniform(); }

private:
    uint64_t state_;
};

// Smooth value noise in 0..1 with unit cell size, and a few octaves of it.
double ValueNoise(double x, double y, uint32_t seed);
double Fractal(double x, double y, int octaves, uint32_t seed);

// Adds signed noise of up to `amount` (0..1 of full scale) to every opaque pixel, which
// breaks up gradient banding the way film does.
void AddGrain(cairo_surface_t* surface, double amount, uint32_t seed);

// Ellipse path centred on (cx, cy).
void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry);

bool WritePng(cairo_surface_t* surface, const std::string& path);

}  // namespace art
