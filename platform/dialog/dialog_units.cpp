#include "dialog_units.h"

#include <cstdint>

namespace quarvel::dialog {

int MulDivRounded(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t product = static_cast<int64_t>(a) * b;
    bool negative = (product < 0) != (c < 0);
    uint64_t magnitude = static_cast<uint64_t>(product < 0 ? -product : product);
    uint64_t divisor = static_cast<uint64_t>(c < 0 ? -static_cast<int64_t>(c) : c);
    uint64_t rounded = (magnitude + divisor / 2) / divisor;
    int64_t result = negative ? -static_cast<int64_t>(rounded) : static_cast<int64_t>(rounded);
    if (result > INT32_MAX || result < INT32_MIN) return -1;
    return static_cast<int>(result);
}

int AverageCharWidth(int alphabetWidth) { return (alphabetWidth / 26 + 1) / 2; }

int PointsToPixels(int points, int dpi) { return MulDivRounded(points, dpi, 72); }

RECT DialogUnitsToPixels(RECT units, BaseUnits base) {
    RECT pixels;
    pixels.left = MulDivRounded(units.left, base.x, 4);
    pixels.right = MulDivRounded(units.right, base.x, 4);
    pixels.top = MulDivRounded(units.top, base.y, 8);
    pixels.bottom = MulDivRounded(units.bottom, base.y, 8);
    return pixels;
}

}  // namespace quarvel::dialog
