// Plain geometry types of the core, in screen pixels.
#pragma once

#include <cstdint>

namespace velmo {

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
};

struct Size {
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const Size& a, const Size& b) { return a.width == b.width && a.height == b.height; }
};

// Left, top, width and height, the way windows are placed.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const Rect& a, const Rect& b) {
        return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
    }
};

}  // namespace velmo
