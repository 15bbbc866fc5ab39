#include "core/Orientation.h"

#include <cstring>

namespace velmo {
namespace {

bool Swaps(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

}  // namespace

Size OrientedSize(Size stored, int orientation) {
    return Swaps(orientation) ? Size{stored.height, stored.width} : stored;
}

// With W x H stored, the shown picture is W x H for 1 to 4 and H x W for 5 to 8. Turning clockwise (6) puts
// the stored left column, read bottom up, into the shown top row; counter-clockwise (8) puts the right column,
// read top down, there.
Point StoredPixelOf(Point shown, Size stored, int orientation) {
    const int32_t x = shown.x;
    const int32_t y = shown.y;
    const int32_t right = stored.width - 1;
    const int32_t bottom = stored.height - 1;
    switch (orientation) {
        case 2:
            return {right - x, y};
        case 3:
            return {right - x, bottom - y};
        case 4:
            return {x, bottom - y};
        case 5:
            return {y, x};
        case 6:
            return {y, bottom - x};
        case 7:
            return {right - y, bottom - x};
        case 8:
            return {right - y, x};
        default:
            return {x, y};
    }
}

void Orient(const uint8_t* in, Size stored, size_t inStride, int orientation, uint8_t* out, size_t outStride) {
    const Size shown = OrientedSize(stored, orientation);
    if (shown.width <= 0 || shown.height <= 0)
        return;
    // The mapping is affine, so one step along a shown row is a fixed step in the stored bytes: found from
    // the first two pixels of the row, it spares a switch per pixel.
    const ptrdiff_t pixel = 4;
    for (int32_t y = 0; y < shown.height; y++) {
        const Point first = StoredPixelOf({0, y}, stored, orientation);
        ptrdiff_t at = ptrdiff_t(first.y) * ptrdiff_t(inStride) + first.x * pixel;
        ptrdiff_t step = 0;
        if (shown.width > 1) {
            const Point second = StoredPixelOf({1, y}, stored, orientation);
            step = ptrdiff_t(second.y - first.y) * ptrdiff_t(inStride) + (second.x - first.x) * pixel;
        }
        uint8_t* to = out + size_t(y) * outStride;
        for (int32_t x = 0; x < shown.width; x++, at += step, to += pixel)
            std::memcpy(to, in + at, pixel);
    }
}

}  // namespace velmo
