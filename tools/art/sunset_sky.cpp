// The sky of the sea view. The sea shader looks a direction d up at
// (-d.x * 0.5 + 0.5, -d.y * 0.8 + 0.5), so the middle row is the horizon and one unit of
// direction is 1.25 times as many pixels across as up: everything round is painted 1.25
// times wider than tall to look round on screen. Above the horizon: a gradient sky with
// stars, a striped sun and neon mountains on the horizon; below it the same evening
// mirrored in dark water, which shows in the band just under the horizon and in low
// reflections.
#include <math.h>

#include "paint.h"
#include "pictures.h"

namespace art {
namespace {

constexpr double kWidth = 2048, kHeight = 1024, kHorizon = kHeight / 2;
constexpr double kAcross = 1.25;  // pixels across per pixel up, for the same angle
constexpr double kSunX = kWidth / 2, kSunRadius = 235;

void SkyGradient(cairo_t* cr) {
    UsePattern(cr, LinearPattern(0, 0, 0, kHorizon,
                                 {{0.0, Hex(0x0a0426)}, {0.35, Hex(0x2a0c5c)}, {0.6, Hex(0x6b1680)},
                                  {0.8, Hex(0xc02a7f)}, {0.93, Hex(0xff5a6e)}, {1.0, Hex(0xffa55a)}}));
    cairo_rectangle(cr, 0, 0, kWidth, kHorizon);
    cairo_fill(cr);
    Random random(31);
    for (int i = 0; i < 700; ++i) {
        const double y = kHorizon * 0.62 * pow(random.Uniform(), 1.6);
        const double x = random.Range(0, kWidth);
        SetSource(cr, Hex(0xfff4ff), random.Range(0.25, 0.95) * (1.0 - y / (kHorizon * 0.62)));
        EllipsePath(cr, x, y, random.Range(0.7, 1.9) * kAcross, random.Range(0.7, 1.9));
        cairo_fill(cr);
    }
}

void Sun(cairo_t* cr) {
    const double cy = kHorizon;
    cairo_save(cr);
    cairo_translate(cr, kSunX, cy);
    cairo_scale(cr, kAcross, 1.0);
    UsePattern(cr, RadialPattern(0, 0, kSunRadius * 0.9, kSunRadius * 2.4,
                                 {{0.0, Hex(0xff5f9e), 0.55}, {1.0, Hex(0xff5f9e), 0.0}}));
    cairo_rectangle(cr, -kWidth, -kHorizon, 2 * kWidth, kHorizon);
    cairo_fill(cr);
    cairo_restore(cr);

    cairo_push_group(cr);
    UsePattern(cr, LinearPattern(0, cy - kSunRadius, 0, cy,
                                 {{0.0, Hex(0xfff56e)}, {0.45, Hex(0xffb43a)}, {1.0, Hex(0xff3f8a)}}));
    EllipsePath(cr, kSunX, cy, kSunRadius * kAcross, kSunRadius);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OUT);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    double y = cy - kSunRadius * 0.5;
    for (int i = 0; y < cy; ++i) {
        const double gap = 3.0 + i * 2.2;
        cairo_rectangle(cr, 0, y, kWidth, gap);
        y += gap + 17.0 - i * 1.2;
    }
    cairo_fill(cr);
    cairo_pop_group_to_source(cr);
    cairo_rectangle(cr, 0, 0, kWidth, kHorizon);
    cairo_fill(cr);

    // Thin dark clouds drifting across the sun's face.
    const double streaks[][3] = {{-330, 160, 5}, {-300, 420, 4}, {-370, 240, 3}};
    for (const auto& s : streaks) {
        cairo_save(cr);
        cairo_translate(cr, kSunX + s[1] * 0.6 - 120, cy + s[0] * 0.8);
        cairo_scale(cr, s[1] * kAcross, s[2]);
        UsePattern(cr, RadialPattern(0, 0, 0, 1, {{0.0, Hex(0x2a0c5c), 0.85}, {1.0, Hex(0x2a0c5c), 0.0}}));
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_restore(cr);
    }
}

// A mountain range: ridge points low in the middle (the sun sets between the ranges),
// filled dark, with a glowing ridge line and lines from the peaks down the slopes.
void Range(cairo_t* cr, double low, double high, int points, uint32_t seed, Colour fill, Colour glow) {
    Random random(seed);
    double xs[64], ys[64];
    for (int i = 0; i < points; ++i) {
        xs[i] = kWidth * i / (points - 1) + (i > 0 && i < points - 1 ? random.Range(-20, 20) : 0);
        const double valley = fmin(1.0, fabs(xs[i] - kSunX) / 520.0);
        const double h = low + (high - low) * valley * valley * (i % 2 ? random.Range(0.55, 1.0) : random.Range(0.1, 0.45));
        ys[i] = kHorizon - h;
    }
    cairo_move_to(cr, 0, kHorizon + 1);
    for (int i = 0; i < points; ++i) cairo_line_to(cr, xs[i], ys[i]);
    cairo_line_to(cr, kWidth, kHorizon + 1);
    cairo_close_path(cr);
    UsePattern(cr, LinearPattern(0, kHorizon - high, 0, kHorizon, {{0.0, fill}, {1.0, Mix(fill, Hex(0x000000), 0.5)}}));
    cairo_fill(cr);

    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int pass = 0; pass < 2; ++pass) {
        SetSource(cr, glow, pass == 0 ? 0.25 : 1.0);
        cairo_set_line_width(cr, pass == 0 ? 9.0 : 2.5);
        cairo_move_to(cr, xs[0], ys[0]);
        for (int i = 1; i < points; ++i) cairo_line_to(cr, xs[i], ys[i]);
        cairo_stroke(cr);
    }
    SetSource(cr, glow, 0.45);
    cairo_set_line_width(cr, 1.5);
    for (int i = 1; i < points - 1; ++i) {
        if (ys[i] > ys[i - 1] || ys[i] > ys[i + 1]) continue;  // peaks only
        const double h = kHorizon - ys[i];
        cairo_move_to(cr, xs[i], ys[i]);
        cairo_line_to(cr, xs[i] - h * 0.5, kHorizon);
        cairo_move_to(cr, xs[i], ys[i]);
        cairo_line_to(cr, xs[i] + h * 0.35, kHorizon);
        cairo_stroke(cr);
    }
}

void Water(cairo_t* cr) {
    UsePattern(cr, LinearPattern(0, kHorizon, 0, kHeight,
                                 {{0.0, Hex(0x3a0f5e)}, {0.25, Hex(0x1c0838)}, {1.0, Hex(0x06021a)}}));
    cairo_rectangle(cr, 0, kHorizon, kWidth, kHeight - kHorizon);
    cairo_fill(cr);
    // The sun's path on the water: broken bright streaks that narrow and fade downwards.
    Random random(41);
    for (double y = kHorizon + 2; y < kHorizon + 260; y += random.Range(3, 7)) {
        const double depth = (y - kHorizon) / 260.0;
        const double half = kSunRadius * kAcross * (0.9 - 0.5 * depth) * random.Range(0.5, 1.0);
        const double x = kSunX + random.Range(-40, 40);
        SetSource(cr, Mix(Hex(0xffb43a), Hex(0xff3f8a), depth), 0.75 * (1.0 - depth));
        cairo_rectangle(cr, x - half, y, 2 * half, random.Range(1.0, 2.5));
        cairo_fill(cr);
    }
    // The ranges' dark mirror image right under the horizon.
    UsePattern(cr, LinearPattern(0, kHorizon, 0, kHorizon + 60, {{0.0, Hex(0x12052a), 0.8}, {1.0, Hex(0x12052a), 0.0}}));
    cairo_rectangle(cr, 0, kHorizon, kSunX - kSunRadius * kAcross * 0.8, 60);
    cairo_rectangle(cr, kSunX + kSunRadius * kAcross * 0.8, kHorizon, kWidth, 60);
    cairo_fill(cr);
}

}  // namespace

void PaintSunsetSky(cairo_t* cr) {
    SkyGradient(cr);
    Sun(cr);
    Range(cr, 30, 190, 23, 7, Hex(0x3b0f63), Hex(0xff4fd8));
    Range(cr, 12, 105, 31, 8, Hex(0x17062f), Hex(0x3ff0ff));
    Water(cr);
    AddGrain(cairo_get_target(cr), 0.012, 17);
}

}  // namespace art
