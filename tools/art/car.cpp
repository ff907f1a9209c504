// The car: an eighties coupé in side view, facing left (the way it drives), on a
// transparent picture. Its wheel arches are centred where the scene draws the wheel
// sprites; the wells behind them are dark so the spinning wheels sit in them. The outline
// uses the line art's dark violet so the car belongs to the drawing around it.
#include <math.h>

#include "car_layout.h"
#include "paint.h"
#include "pictures.h"

namespace art {
namespace {

constexpr double kSill = 915.0;         // bottom edge of the body between the arches
constexpr double kFrontArch = 84.0;     // arch radii: a finger's width around the tyres
constexpr double kRearArch = 88.0;
const Colour kOutline = Hex(0x130839);

void ArchCut(cairo_t* cr, const WheelPlace& wheel, double radius) {
    const double a = asin((kSill - wheel.y) / radius);
    cairo_arc_negative(cr, wheel.x, wheel.y, radius, a, -M_PI - a);
}

void BodyPath(cairo_t* cr) {
    cairo_move_to(cr, 472, kSill);
    cairo_curve_to(cr, 456, 902, 451, 872, 452, 850);
    cairo_curve_to(cr, 454, 838, 466, 826, 500, 822);
    cairo_curve_to(cr, 650, 808, 800, 790, 900, 772);
    cairo_curve_to(cr, 955, 730, 995, 694, 1045, 672);
    cairo_curve_to(cr, 1100, 660, 1175, 658, 1222, 666);
    cairo_curve_to(cr, 1295, 684, 1352, 726, 1400, 752);
    // A small lip spoiler on the tail.
    cairo_line_to(cr, 1450, 757);
    cairo_curve_to(cr, 1464, 754, 1474, 750, 1480, 746);
    cairo_curve_to(cr, 1484, 750, 1484, 756, 1482, 762);
    cairo_curve_to(cr, 1481, 810, 1479, 860, 1474, 890);
    cairo_curve_to(cr, 1470, 905, 1462, 913, 1450, kSill);
    ArchCut(cr, kRearWheel, kRearArch);
    ArchCut(cr, kFrontWheel, kFrontArch);
    cairo_close_path(cr);
}

void WindowPath(cairo_t* cr) {
    cairo_move_to(cr, 925, 768);
    cairo_curve_to(cr, 972, 730, 1010, 700, 1052, 683);
    cairo_curve_to(cr, 1102, 673, 1170, 671, 1214, 676);
    cairo_curve_to(cr, 1270, 690, 1318, 718, 1352, 746);
    cairo_curve_to(cr, 1250, 755, 1050, 764, 925, 768);
    cairo_close_path(cr);
}

void Shadow(cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, 975, 969);
    cairo_scale(cr, 600, 22);
    UsePattern(cr, RadialPattern(0, 0, 0, 1, {{0.0, kOutline, 0.55}, {0.7, kOutline, 0.3}, {1.0, kOutline, 0.0}}));
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Wells(cairo_t* cr) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, 1920, kSill);
    cairo_clip(cr);
    const struct {
        const WheelPlace& wheel;
        double radius;
    } wells[] = {{kFrontWheel, kFrontArch}, {kRearWheel, kRearArch}};
    for (const auto& well : wells) {
        UsePattern(cr, RadialPattern(well.wheel.x, well.wheel.y - 10, 30, well.radius,
                                     {{0.0, Hex(0x05020c)}, {1.0, Hex(0x1d1230)}}));
        cairo_arc(cr, well.wheel.x, well.wheel.y, well.radius - 1, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void Paint(cairo_t* cr) {
    UsePattern(cr, LinearPattern(0, 660, 0, kSill,
                                 {{0.0, Hex(0xff86b0)}, {0.42, Hex(0xf0306c)}, {0.72, Hex(0xb31a55)},
                                  {1.0, Hex(0x5a0b34)}}));
    BodyPath(cr);
    cairo_fill(cr);
    // The flank mirrors the world: sky above its horizon line, dark ground below.
    UsePattern(cr, LinearPattern(0, 790, 0, 856, {{0.0, Hex(0xd7c4ff), 0.0}, {1.0, Hex(0xd7c4ff), 0.3}}));
    cairo_rectangle(cr, 0, 790, 1920, 66);
    cairo_fill(cr);
    UsePattern(cr, LinearPattern(0, 856, 0, kSill, {{0.0, Hex(0x1a0626), 0.45}, {1.0, Hex(0x1a0626), 0.2}}));
    cairo_rectangle(cr, 0, 856, 1920, kSill - 856);
    cairo_fill(cr);
    // Twin neon stripes from nose to tail.
    SetSource(cr, Hex(0x38e8ff), 0.95);
    cairo_move_to(cr, 440, 846);
    cairo_line_to(cr, 1490, 800);
    cairo_line_to(cr, 1490, 809);
    cairo_line_to(cr, 440, 855);
    cairo_fill(cr);
    SetSource(cr, Hex(0xffe46a), 0.9);
    cairo_move_to(cr, 440, 861);
    cairo_line_to(cr, 1490, 815);
    cairo_line_to(cr, 1490, 819);
    cairo_line_to(cr, 440, 865);
    cairo_fill(cr);
}

void Glass(cairo_t* cr) {
    UsePattern(cr, LinearPattern(0, 672, 0, 768, {{0.0, Hex(0x33215e)}, {1.0, Hex(0x110822)}}));
    WindowPath(cr);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    // Reflections of the evening sky across the glass.
    SetSource(cr, Hex(0xa8ecff), 0.26);
    cairo_move_to(cr, 995, 770);
    cairo_line_to(cr, 1085, 668);
    cairo_line_to(cr, 1145, 668);
    cairo_line_to(cr, 1055, 770);
    cairo_fill(cr);
    SetSource(cr, Hex(0xffb0e0), 0.16);
    cairo_move_to(cr, 1080, 770);
    cairo_line_to(cr, 1170, 668);
    cairo_line_to(cr, 1190, 668);
    cairo_line_to(cr, 1100, 770);
    cairo_fill(cr);
    // B-pillar.
    SetSource(cr, Hex(0x2a0d2c));
    cairo_move_to(cr, 1178, 668);
    cairo_line_to(cr, 1202, 668);
    cairo_line_to(cr, 1216, 772);
    cairo_line_to(cr, 1190, 772);
    cairo_fill(cr);
    cairo_restore(cr);
    SetSource(cr, kOutline);
    cairo_set_line_width(cr, 3.5);
    WindowPath(cr);
    cairo_stroke(cr);
}

void Details(cairo_t* cr) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetSource(cr, kOutline, 0.85);
    cairo_set_line_width(cr, 3);
    // Door seam and the pop-up headlight's lid.
    cairo_move_to(cr, 916, 774);
    cairo_curve_to(cr, 908, 830, 904, 880, 905, 912);
    cairo_move_to(cr, 508, 822);
    cairo_line_to(cr, 620, 810);
    cairo_stroke(cr);
    // Door handle.
    SetSource(cr, Hex(0x2a0d2c));
    cairo_rectangle(cr, 1130, 790, 40, 7);
    cairo_fill(cr);
    // Shoulder highlight.
    SetSource(cr, Hex(0xffffff), 0.45);
    cairo_set_line_width(cr, 3);
    cairo_move_to(cr, 520, 830);
    cairo_curve_to(cr, 800, 802, 1100, 782, 1440, 768);
    cairo_stroke(cr);
    // Amber front lamp and red tail lamp, each with a little glow.
    UsePattern(cr, RadialPattern(470, 854, 2, 34, {{0.0, Hex(0xffd27a), 0.6}, {1.0, Hex(0xffd27a), 0.0}}));
    cairo_arc(cr, 470, 854, 34, 0, 2 * M_PI);
    cairo_fill(cr);
    SetSource(cr, Hex(0xffc45c));
    cairo_move_to(cr, 455, 850);
    cairo_line_to(cr, 520, 844);
    cairo_line_to(cr, 520, 851);
    cairo_line_to(cr, 455, 859);
    cairo_fill(cr);
    UsePattern(cr, RadialPattern(1474, 788, 2, 40, {{0.0, Hex(0xff2a55), 0.7}, {1.0, Hex(0xff2a55), 0.0}}));
    cairo_arc(cr, 1474, 788, 40, 0, 2 * M_PI);
    cairo_fill(cr);
    SetSource(cr, Hex(0xff3b5e));
    cairo_rectangle(cr, 1464, 772, 16, 32);
    cairo_fill(cr);
}

void Mirror(cairo_t* cr) {
    cairo_move_to(cr, 936, 770);
    cairo_curve_to(cr, 924, 768, 914, 760, 918, 750);
    cairo_curve_to(cr, 928, 745, 946, 750, 952, 760);
    cairo_close_path(cr);
    SetSource(cr, Hex(0xd02863));
    cairo_fill_preserve(cr);
    SetSource(cr, kOutline);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

}  // namespace

void PaintCar(cairo_t* cr) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    Shadow(cr);
    Wells(cr);
    cairo_save(cr);
    BodyPath(cr);
    cairo_clip(cr);
    Paint(cr);
    Details(cr);
    cairo_restore(cr);
    Glass(cr);
    Mirror(cr);
    SetSource(cr, kOutline);
    cairo_set_line_width(cr, 5);
    BodyPath(cr);
    cairo_stroke(cr);
}

}  // namespace art
