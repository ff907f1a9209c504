// The pictures the presentation shows, each painted for how the scene draws it.
#pragma once

#include <cairo.h>

namespace art {

struct Picture {
    const char* fileName;
    int width, height;
    void (*paint)(cairo_t* cr);
};

void PaintBackground(cairo_t* cr);
void PaintCar(cairo_t* cr);
void PaintWheel134(cairo_t* cr);
void PaintWheel142(cairo_t* cr);
void PaintSunsetSky(cairo_t* cr);
void PaintBillboard1(cairo_t* cr);
void PaintBillboard2(cairo_t* cr);
void PaintGrain(cairo_t* cr);

// Every picture, in the order they are written.
extern const Picture pictures[8];

}  // namespace art
