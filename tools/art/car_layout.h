// Where the road scene draws the wheels over the full-screen car picture: the wheel
// sprites' centres and radii in the 1280 x 720 virtual screen, scaled to picture pixels.
#pragma once

#include "road_view.h"

namespace art {

struct WheelPlace {
    double x, y, radius;
};

constexpr WheelPlace kFrontWheel = {465.0 * kPixelsPerVirtual, 600.0 * kPixelsPerVirtual, 45.0 * kPixelsPerVirtual};
constexpr WheelPlace kRearWheel = {825.0 * kPixelsPerVirtual, 600.0 * kPixelsPerVirtual, 47.5 * kPixelsPerVirtual};

}  // namespace art
