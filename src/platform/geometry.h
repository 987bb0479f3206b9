#pragma once
// Pixel geometry shared by the application and the window-system layer.

namespace vtome::platform {

// A rectangle by its edges, right and bottom exclusive, as window rectangles
// are measured.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    static Rect fromSize(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }
    bool operator==(const Rect&) const = default;
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

}  // namespace vtome::platform
