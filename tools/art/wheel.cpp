// The wheels: tyre and a five-spoke alloy rim, swept spokes and a valve so that the turn
// reads at any speed; the corners outside the tyre are transparent.
#include <math.h>

#include "paint.h"
#include "pictures.h"

namespace art {
namespace {

void Spoke(cairo_t* cr, double angle, double r) {
    const double sweep = 0.22;
    const double inner = 0.17 * r, outer = 0.57 * r;
    const double innerHalf = 0.09, outerHalf = 0.25;  // half widths in radians
    cairo_move_to(cr, inner * cos(angle - innerHalf), inner * sin(angle - innerHalf));
    cairo_curve_to(cr, 0.35 * r * cos(angle - 0.10), 0.35 * r * sin(angle - 0.10),
                   0.45 * r * cos(angle + sweep - outerHalf), 0.45 * r * sin(angle + sweep - outerHalf),
                   outer * cos(angle + sweep - outerHalf), outer * sin(angle + sweep - outerHalf));
    cairo_arc(cr, 0, 0, outer, angle + sweep - outerHalf, angle + sweep + outerHalf);
    cairo_curve_to(cr, 0.45 * r * cos(angle + sweep + outerHalf), 0.45 * r * sin(angle + sweep + outerHalf),
                   0.35 * r * cos(angle + 0.16), 0.35 * r * sin(angle + 0.16), inner * cos(angle + innerHalf),
                   inner * sin(angle + innerHalf));
    cairo_close_path(cr);
}

void PaintWheel(cairo_t* cr, double size) {
    const double r = size * 0.5 - 0.75;
    cairo_translate(cr, size * 0.5, size * 0.5);

    UsePattern(cr, RadialPattern(0, 0, 0.6 * r, r,
                                 {{0.0, Hex(0x443a56)}, {0.35, Hex(0x1d1527)}, {0.9, Hex(0x120c1a)},
                                  {1.0, Hex(0x07040b)}}));
    cairo_arc(cr, 0, 0, r, 0, 2 * M_PI);
    cairo_fill(cr);
    // Raised white letters on the sidewall: a broken ring, so the turn shows.
    SetSource(cr, Hex(0xece4f4), 0.6);
    cairo_set_line_width(cr, 0.045 * r);
    for (int i = 0; i < 2; ++i) {
        cairo_arc(cr, 0, 0, 0.8 * r, i * M_PI + 0.3, i * M_PI + 1.9);
        cairo_stroke(cr);
    }

    UsePattern(cr, LinearPattern(-0.6 * r, -0.6 * r, 0.6 * r, 0.6 * r,
                                 {{0.0, Hex(0xf2eeff)}, {0.5, Hex(0xb4acc8)}, {1.0, Hex(0x6f6888)}}));
    cairo_arc(cr, 0, 0, 0.64 * r, 0, 2 * M_PI);
    cairo_fill(cr);
    SetSource(cr, Hex(0x221833));
    cairo_arc(cr, 0, 0, 0.56 * r, 0, 2 * M_PI);
    cairo_fill(cr);

    for (int k = 0; k < 5; ++k) {
        UsePattern(cr, LinearPattern(-0.5 * r, -0.5 * r, 0.5 * r, 0.5 * r,
                                     {{0.0, Hex(0xfaf7ff)}, {0.55, Hex(0xc2bad6)}, {1.0, Hex(0x7a7394)}}));
        Spoke(cr, k * 2.0 * M_PI / 5.0 - M_PI / 2, r);
        cairo_fill_preserve(cr);
        SetSource(cr, Hex(0x3a2f4f), 0.8);
        cairo_set_line_width(cr, 0.02 * r);
        cairo_stroke(cr);
    }

    UsePattern(cr, RadialPattern(-0.05 * r, -0.05 * r, 0.0, 0.21 * r,
                                 {{0.0, Hex(0xffffff)}, {1.0, Hex(0x8d85a6)}}));
    cairo_arc(cr, 0, 0, 0.21 * r, 0, 2 * M_PI);
    cairo_fill(cr);
    SetSource(cr, Hex(0x2b2140));
    for (int k = 0; k < 5; ++k) {
        const double a = k * 2.0 * M_PI / 5.0 - M_PI / 2 + M_PI / 5;
        cairo_arc(cr, 0.13 * r * cos(a), 0.13 * r * sin(a), 0.028 * r, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    SetSource(cr, Hex(0xff3b7f));
    cairo_arc(cr, 0, 0, 0.065 * r, 0, 2 * M_PI);
    cairo_fill(cr);
    // Valve stem.
    SetSource(cr, Hex(0x0c0812));
    cairo_arc(cr, 0.6 * r * cos(0.9), 0.6 * r * sin(0.9), 0.03 * r, 0, 2 * M_PI);
    cairo_fill(cr);
    // Rim lip.
    SetSource(cr, Hex(0xfdfbff), 0.9);
    cairo_set_line_width(cr, 0.03 * r);
    cairo_arc(cr, 0, 0, 0.635 * r, 0, 2 * M_PI);
    cairo_stroke(cr);
}

}  // namespace

void PaintWheel134(cairo_t* cr) { PaintWheel(cr, 134); }
void PaintWheel142(cairo_t* cr) { PaintWheel(cr, 142); }

}  // namespace art
