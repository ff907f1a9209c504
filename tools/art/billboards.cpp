// The two roadside billboards. The scene draws each on a 4.38 x 3 plane standing 0.25
// below the ground, the picture's top row at the top, so the picture is 4.38 : 3 with the
// ground at 11/12 of its height: the board sits on two legs above it and everything
// around and below is transparent.
#include <math.h>

#include "paint.h"
#include "pictures.h"

namespace art {
namespace {

constexpr double kWidth = 1168, kHeight = 800;
constexpr double kGround = kHeight * 2.75 / 3.0;
constexpr double kPanelTop = 24, kPanelBottom = 486, kPanelLeft = 18, kPanelRight = kWidth - 18;
constexpr double kInset = 16;
const Colour kFrame = Hex(0x130839);

void Text(cairo_t* cr, const char* text, double centreX, double baseline, double size, bool bold) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    cairo_move_to(cr, centreX - extents.width * 0.5 - extents.x_bearing, baseline);
    cairo_text_path(cr, text);
}

// Frame, catwalk, legs and lamps; the artwork goes inside ArtArea.
void Structure(cairo_t* cr) {
    SetSource(cr, kFrame);
    cairo_set_line_width(cr, 10);
    // Legs with cross braces, from under the catwalk into the ground.
    for (double x : {290.0, 878.0}) {
        cairo_rectangle(cr, x - 15, kPanelBottom, 30, kGround - kPanelBottom + 4);
        cairo_fill(cr);
    }
    cairo_move_to(cr, 290, kPanelBottom + 20);
    cairo_line_to(cr, 878, kGround - 40);
    cairo_move_to(cr, 878, kPanelBottom + 20);
    cairo_line_to(cr, 290, kGround - 40);
    cairo_stroke(cr);
    // Catwalk with its railing.
    cairo_rectangle(cr, kPanelLeft + 30, kPanelBottom - 4, kPanelRight - kPanelLeft - 60, 18);
    cairo_fill(cr);
    cairo_set_line_width(cr, 4);
    for (double x = kPanelLeft + 40; x < kPanelRight - 30; x += 70) {
        cairo_move_to(cr, x, kPanelBottom + 14);
        cairo_line_to(cr, x, kPanelBottom + 40);
    }
    cairo_move_to(cr, kPanelLeft + 36, kPanelBottom + 40);
    cairo_line_to(cr, kPanelRight - 36, kPanelBottom + 40);
    cairo_stroke(cr);
    // Frame.
    cairo_rectangle(cr, kPanelLeft, kPanelTop, kPanelRight - kPanelLeft, kPanelBottom - kPanelTop);
    cairo_fill(cr);
    // Lamps on arms over the top edge, each throwing a little light down the board.
    for (double x : {200.0, 584.0, 968.0}) {
        cairo_set_line_width(cr, 6);
        SetSource(cr, kFrame);
        cairo_move_to(cr, x, kPanelTop);
        cairo_line_to(cr, x, kPanelTop - 18);
        cairo_line_to(cr, x + 26, kPanelTop - 18);
        cairo_stroke(cr);
        cairo_rectangle(cr, x + 18, kPanelTop - 24, 22, 10);
        cairo_fill(cr);
    }
}

void ArtArea(cairo_t* cr) {
    cairo_rectangle(cr, kPanelLeft + kInset, kPanelTop + kInset, kPanelRight - kPanelLeft - 2 * kInset,
                    kPanelBottom - kPanelTop - 2 * kInset);
}

void LampLight(cairo_t* cr) {
    for (double x : {229.0, 613.0, 997.0}) {
        UsePattern(cr, RadialPattern(x, kPanelTop, 0, 260, {{0.0, Hex(0xfff1c8), 0.35}, {1.0, Hex(0xfff1c8), 0.0}}));
        cairo_paint(cr);
    }
}

void Palm(cairo_t* cr, double x, double ground, double height, double lean) {
    const double topX = x + lean, topY = ground - height;
    cairo_set_line_width(cr, height * 0.06);
    cairo_move_to(cr, x, ground);
    cairo_curve_to(cr, x, ground - height * 0.5, topX - lean * 0.2, topY + height * 0.3, topX, topY);
    cairo_stroke(cr);
    for (int i = 0; i < 7; ++i) {
        const double a = -M_PI + i * M_PI / 6.0 + 0.05;
        const double len = height * (0.42 + 0.08 * (i % 2));
        const double ex = topX + cos(a) * len, ey = topY + sin(a) * len * 0.55 + len * 0.35;
        cairo_move_to(cr, topX, topY);
        cairo_curve_to(cr, topX + cos(a) * len * 0.5, topY + sin(a) * len * 0.5 - len * 0.15, ex, ey - len * 0.2, ex,
                       ey);
        cairo_curve_to(cr, ex - cos(a) * len * 0.2, ey - len * 0.1, topX + cos(a) * len * 0.4,
                       topY + sin(a) * len * 0.3, topX, topY + height * 0.03);
        cairo_fill(cr);
    }
}

}  // namespace

// A city welcome board: sunset, palms and the city's name.
void PaintBillboard1(cairo_t* cr) {
    Structure(cr);
    cairo_save(cr);
    ArtArea(cr);
    cairo_clip(cr);
    UsePattern(cr, LinearPattern(0, kPanelTop, 0, kPanelBottom,
                                 {{0.0, Hex(0x3b1a8c)}, {0.45, Hex(0xc9338f)}, {0.75, Hex(0xff7d63)},
                                  {1.0, Hex(0xffc36b)}}));
    cairo_paint(cr);
    const double sunX = 584, sunY = 380, sunR = 150;
    cairo_push_group(cr);
    UsePattern(cr, LinearPattern(0, sunY - sunR, 0, sunY + sunR, {{0.0, Hex(0xfff3a0)}, {1.0, Hex(0xff5d8f)}}));
    cairo_arc(cr, sunX, sunY, sunR, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OUT);
    double y = sunY;
    for (int i = 0; i < 8; ++i) {
        cairo_rectangle(cr, sunX - sunR, y, 2 * sunR, 3 + i * 2);
        y += 14 + i * 1.0;
    }
    cairo_fill(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
    // Sea line and palms.
    SetSource(cr, Hex(0x2a0b4a));
    cairo_rectangle(cr, 0, 420, kWidth, 60);
    cairo_fill(cr);
    Palm(cr, 120, 440, 330, 40);
    Palm(cr, 210, 440, 250, -25);
    Palm(cr, 1030, 440, 320, -45);
    Palm(cr, 960, 440, 220, 20);
    // Name with a magenta drop shadow.
    Text(cr, "BRISVANE", sunX + 6, 226, 150, true);
    SetSource(cr, Hex(0xff2f92));
    cairo_fill(cr);
    Text(cr, "BRISVANE", sunX, 220, 150, true);
    UsePattern(cr, LinearPattern(0, 110, 0, 220, {{0.0, Hex(0xffffff)}, {0.6, Hex(0xd8f6ff)}, {1.0, Hex(0x7fe6ff)}}));
    cairo_fill_preserve(cr);
    SetSource(cr, kFrame);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    Text(cr, "NEXT EXIT  \xC2\xB7  2 KM", sunX, 290, 46, true);
    SetSource(cr, Hex(0x130839));
    cairo_fill(cr);
    LampLight(cr);
    cairo_restore(cr);
    AddGrain(cairo_get_target(cr), 0.02, 51);
}

// A radio station board: neon grid, level meters and the station's name.
void PaintBillboard2(cairo_t* cr) {
    Structure(cr);
    cairo_save(cr);
    ArtArea(cr);
    cairo_clip(cr);
    UsePattern(cr, LinearPattern(0, kPanelTop, 0, kPanelBottom,
                                 {{0.0, Hex(0x0d0628)}, {0.6, Hex(0x2a0c5c)}, {1.0, Hex(0x5a1470)}}));
    cairo_paint(cr);
    // A perspective grid floor running to a vanishing point on the horizon line.
    const double horizon = 330, vanishX = 584;
    SetSource(cr, Hex(0xff3fd0), 0.8);
    cairo_set_line_width(cr, 2.5);
    for (int i = -12; i <= 12; ++i) {
        cairo_move_to(cr, vanishX, horizon);
        cairo_line_to(cr, vanishX + i * 110, kPanelBottom);
    }
    for (double t = 0.05; t < 1.0; t += 0.16 + t * 0.2) {
        const double yy = horizon + (kPanelBottom - horizon) * t * t * 1.2;
        cairo_move_to(cr, 0, yy);
        cairo_line_to(cr, kWidth, yy);
    }
    cairo_stroke(cr);
    // Level meters along the horizon.
    Random random(61);
    for (int i = 0; i < 26; ++i) {
        const double x = 60 + i * 41.0;
        const double h = 30 + 150 * pow(random.Uniform(), 0.8) * (0.4 + 0.6 * sin(M_PI * i / 25.0));
        for (double yy = horizon - 12; yy > horizon - h; yy -= 14) {
            const double t = (horizon - yy) / 180.0;
            SetSource(cr, Mix(Hex(0x3ff0ff), Hex(0xff3f8a), t), 0.9);
            cairo_rectangle(cr, x, yy, 30, 10);
            cairo_fill(cr);
        }
    }
    Text(cr, "KETRA", 584 + 6, 196, 170, true);
    SetSource(cr, Hex(0x3ff0ff), 0.8);
    cairo_fill(cr);
    Text(cr, "KETRA", 584, 190, 170, true);
    UsePattern(cr, LinearPattern(0, 60, 0, 190,
                                 {{0.0, Hex(0xffffff)}, {0.5, Hex(0xffc0e8)}, {0.52, Hex(0xff4fa8)}, {1.0, Hex(0xffd36b)}}));
    cairo_fill_preserve(cr);
    SetSource(cr, kFrame);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    Text(cr, "88.3 FM", 584, 300, 84, true);
    SetSource(cr, Hex(0xffe46a));
    cairo_fill_preserve(cr);
    SetSource(cr, kFrame);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    Text(cr, "ALL NIGHT  \xC2\xB7  ALL SYNTH", 584, 420, 40, true);
    SetSource(cr, Hex(0xffffff));
    cairo_fill(cr);
    LampLight(cr);
    cairo_restore(cr);
    AddGrain(cairo_get_target(cr), 0.02, 52);
}

}  // namespace art
