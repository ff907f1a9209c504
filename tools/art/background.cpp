// The road scene's backdrop: a light dusk sky with a low striped sun, far hills and a
// skyline on the horizon, fields, the verge the roadside posts stand in, and the road the
// car drives on. Kept light so the dark violet line art drawn over it reads clearly.
#include <math.h>

#include "paint.h"
#include "pictures.h"
#include "road_view.h"

namespace art {
namespace {

constexpr double kWidth = kBackgroundWidth;
constexpr double kHeight = kBackgroundHeight;

struct Rows {
    double horizon;    // the ground infinitely far away
    double verge;      // the ground under the low fence (z = 2)
    double roadFar;    // the road's far edge, just below the posts' feet
    double roadNear;   // the kerb in front of the car
};

void Sky(cairo_t* cr, const Rows& rows) {
    UsePattern(cr, LinearPattern(0, 0, 0, rows.horizon + 2,
                                 {{0.0, Hex(0x8a80d0)},
                                  {0.30, Hex(0xab97dc)},
                                  {0.58, Hex(0xdca3d6)},
                                  {0.82, Hex(0xffb9ad)},
                                  {1.0, Hex(0xffdcb4)}}));
    cairo_rectangle(cr, 0, 0, kWidth, rows.horizon + 2);
    cairo_fill(cr);
}

// A low sun behind haze, its lower half cut into stripes that thicken towards the horizon.
void Sun(cairo_t* cr, const Rows& rows) {
    const double cx = 1395, cy = rows.horizon - 150, radius = 215;
    UsePattern(cr, RadialPattern(cx, cy, radius * 0.8, radius * 2.6,
                                 {{0.0, Hex(0xfff0c8), 0.55}, {1.0, Hex(0xffc0b8), 0.0}}));
    cairo_paint(cr);

    cairo_push_group(cr);
    UsePattern(cr, LinearPattern(0, cy - radius, 0, cy + radius,
                                 {{0.0, Hex(0xfffbe0)}, {0.45, Hex(0xffe0a8)}, {1.0, Hex(0xffa7b5)}}));
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OUT);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    double y = cy + 8;
    for (int i = 0; y < cy + radius; ++i) {
        const double gap = 3.0 + i * 2.6;
        cairo_rectangle(cr, cx - radius - 2, y, 2 * radius + 4, gap);
        y += gap + 22.0 - i * 1.6;
    }
    cairo_fill(cr);
    cairo_pop_group_to_source(cr);
    cairo_rectangle(cr, 0, 0, kWidth, rows.horizon);
    cairo_clip(cr);
    cairo_paint_with_alpha(cr, 0.92);
    cairo_reset_clip(cr);
}

// Long thin evening clouds, lit from below.
void Clouds(cairo_t* cr, const Rows& rows) {
    struct Streak {
        double x, y, rx, ry, alpha;
    };
    const Streak streaks[] = {
        {330, 150, 420, 9, 0.30},  {820, 210, 520, 7, 0.25},  {1500, 120, 380, 8, 0.22},
        {240, 420, 300, 6, 0.35},  {1180, 470, 610, 10, 0.38}, {1640, 555, 330, 6, 0.42},
        {650, 600, 460, 8, 0.40},  {1450, 640, 260, 5, 0.45},  {980, 700, 520, 5, 0.32},
    };
    Random random(13);
    for (const Streak& s : streaks) {
        if (s.y > rows.horizon - 40) continue;
        // Each cloud is a few overlapping soft streaks, so its edges are uneven.
        for (int k = 0; k < 5; ++k) {
            const double rx = s.rx * (k == 0 ? 1.0 : random.Range(0.25, 0.6));
            const double ry = s.ry * (k == 0 ? 1.0 : random.Range(0.9, 2.2));
            const double x = s.x + (k == 0 ? 0.0 : random.Range(-0.6, 0.6) * s.rx);
            const double y = s.y + (k == 0 ? 0.0 : random.Range(-1.2, 1.0) * s.ry);
            cairo_save(cr);
            cairo_translate(cr, x, y);
            cairo_scale(cr, rx, ry);
            UsePattern(cr, RadialPattern(0, 0, 0.0, 1.0,
                                         {{0.0, Hex(0xfff2f0), s.alpha}, {0.6, Hex(0xffd6e2), s.alpha * 0.6},
                                          {1.0, Hex(0xffd6e2), 0.0}}));
            cairo_arc(cr, 0, 0, 1.0, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_restore(cr);
        }
    }
}

// A ridge line across the whole width, filled down to the horizon.
void Ridge(cairo_t* cr, double horizon, double low, double high, double scale, uint32_t seed, Colour colour,
           double alpha) {
    cairo_move_to(cr, 0, horizon + 1);
    for (double x = 0; x <= kWidth; x += 6) {
        const double n = Fractal(x / scale, 0.5, 4, seed);
        cairo_line_to(cr, x, horizon - (low + (high - low) * n));
    }
    cairo_line_to(cr, kWidth, horizon + 1);
    cairo_close_path(cr);
    SetSource(cr, colour, alpha);
    cairo_fill(cr);
}

void Skyline(cairo_t* cr, const Rows& rows) {
    Random random(77);
    const Colour building = Hex(0xa98bc4);
    double x = 70;
    while (x < 820) {
        const double w = random.Range(26, 78);
        // Taller towers towards the middle of the town.
        const double centre = 1.0 - fabs((x - 440) / 420.0);
        const double h = random.Range(30, 70) + centre * random.Range(40, 130);
        SetSource(cr, Mix(building, Hex(0xc4a5d4), random.Range(0.0, 0.5)));
        cairo_rectangle(cr, x, rows.horizon - h, w, h + 1);
        cairo_fill(cr);
        if (random.Uniform() < 0.25) {  // an antenna
            SetSource(cr, building);
            cairo_rectangle(cr, x + w * 0.5 - 1.5, rows.horizon - h - 28, 3, 28);
            cairo_fill(cr);
        }
        for (double wy = rows.horizon - h + 8; wy < rows.horizon - 10; wy += 11)
            for (double wx = x + 5; wx < x + w - 6; wx += 9)
                if (random.Uniform() < 0.16) {
                    SetSource(cr, Hex(0xffe6b0), 0.85);
                    cairo_rectangle(cr, wx, wy, 3.5, 4.5);
                    cairo_fill(cr);
                }
        x += w + random.Range(-6, 14);
    }
}

void Fields(cairo_t* cr, const Rows& rows) {
    UsePattern(cr, LinearPattern(0, rows.horizon, 0, rows.verge,
                                 {{0.0, Hex(0xe9b8bd)}, {0.5, Hex(0xcf9fb4)}, {1.0, Hex(0xb08aab)}}));
    cairo_rectangle(cr, 0, rows.horizon, kWidth, rows.verge - rows.horizon + 1);
    cairo_fill(cr);
    // Furrows: closer together towards the horizon, as the ground recedes.
    Random random(5);
    for (double t = 0.08; t < 1.0; t += 0.07) {
        const double y = rows.horizon + (rows.verge - rows.horizon) * t * t;
        SetSource(cr, Hex(0x9c7aa0), 0.18 + 0.1 * random.Uniform());
        cairo_rectangle(cr, 0, y, kWidth, 0.8 + 1.6 * t);
        cairo_fill(cr);
    }
    // A hedge line along the far field edge.
    Ridge(cr, rows.horizon + 3, 0.5, 7, 40, 11, Hex(0xa07eae), 0.85);
}

void Verge(cairo_t* cr, const Rows& rows) {
    UsePattern(cr, LinearPattern(0, rows.verge, 0, rows.roadFar,
                                 {{0.0, Hex(0x9a7ea8)}, {1.0, Hex(0x7a6390)}}));
    cairo_rectangle(cr, 0, rows.verge, kWidth, rows.roadFar - rows.verge + 1);
    cairo_fill(cr);
    Random random(9);
    cairo_set_line_width(cr, 1.6);
    for (int i = 0; i < 900; ++i) {
        const double x = random.Range(0, kWidth);
        const double y = random.Range(rows.verge + 4, rows.roadFar + 2);
        const double h = random.Range(4, 12) * (0.5 + (y - rows.verge) / (rows.roadFar - rows.verge));
        SetSource(cr, random.Uniform() < 0.5 ? Hex(0x6a5482) : Hex(0xb294b8), 0.55);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + random.Range(-3, 3), y - h);
        cairo_stroke(cr);
    }
}

void Road(cairo_t* cr, const Rows& rows) {
    UsePattern(cr, LinearPattern(0, rows.roadFar, 0, kHeight,
                                 {{0.0, Hex(0x7d6f98)}, {0.45, Hex(0x5f5279)}, {1.0, Hex(0x42375a)}}));
    cairo_rectangle(cr, 0, rows.roadFar, kWidth, kHeight - rows.roadFar);
    cairo_fill(cr);
    // The sky's glow on the wet asphalt, strongest under the sun.
    cairo_save(cr);
    cairo_translate(cr, 1395, rows.roadFar + 40);
    cairo_scale(cr, 700, 60);
    UsePattern(cr, RadialPattern(0, 0, 0, 1, {{0.0, Hex(0xffc6c0), 0.35}, {1.0, Hex(0xffc6c0), 0.0}}));
    cairo_paint(cr);
    cairo_restore(cr);
    // Long streaks of wear run with the road, so the scrolling world never shows them
    // standing still.
    Random random(21);
    for (int i = 0; i < 160; ++i) {
        const double y = random.Range(rows.roadFar + 12, rows.roadNear - 4);
        const double x = random.Range(-200, kWidth);
        SetSource(cr, random.Uniform() < 0.5 ? Hex(0x2f2642) : Hex(0x9a8cb6), random.Range(0.05, 0.14));
        cairo_rectangle(cr, x, y, random.Range(200, 900), random.Range(0.8, 2.2));
        cairo_fill(cr);
    }
    // Edge line on the far side, kerb on the near side.
    SetSource(cr, Hex(0xf7dce8), 0.9);
    cairo_rectangle(cr, 0, rows.roadFar + 7, kWidth, 4);
    cairo_fill(cr);
    SetSource(cr, Hex(0xe4cde4), 0.75);
    cairo_rectangle(cr, 0, rows.roadNear, kWidth, 7);
    cairo_fill(cr);
    UsePattern(cr, LinearPattern(0, rows.roadNear + 7, 0, kHeight,
                                 {{0.0, Hex(0x5c4e78)}, {1.0, Hex(0x2e2540)}}));
    cairo_rectangle(cr, 0, rows.roadNear + 7, kWidth, kHeight - rows.roadNear - 7);
    cairo_fill(cr);
}

}  // namespace

void PaintBackground(cairo_t* cr) {
    Rows rows;
    rows.horizon = HorizonRow();
    rows.verge = BackgroundRow(0.0f, 0.0f, 2.0f);
    // The roadside posts sink 0.1 below the ground; their feet stay in the verge.
    rows.roadFar = BackgroundRow(0.0f, -0.1f, 2.5f) + 8.0;
    rows.roadNear = kHeight - 34.0;

    Sky(cr, rows);
    Sun(cr, rows);
    Clouds(cr, rows);
    Ridge(cr, rows.horizon, 14, 70, 260, 3, Hex(0xd9b0d4), 1.0);
    Skyline(cr, rows);
    Ridge(cr, rows.horizon, 4, 26, 140, 4, Hex(0xc69dc8), 1.0);
    Fields(cr, rows);
    Verge(cr, rows);
    Road(cr, rows);
    AddGrain(cairo_get_target(cr), 0.012, 19);
}

}  // namespace art
