#pragma once
#include <vector>

// Where windows open, in screen pixels, for both views alike: the view
// tells the screen's work area (panels left out) and the frames of the
// windows open, title bars and borders included, and moves its window
// where it is told.
namespace vor3::form {

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};
struct Size {
    int width = 0, height = 0;
};
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; }  // the first column past it
    int bottom() const { return y + height; }
    bool contains(const Rect& r) const {
        return r.x >= x && r.y >= y && r.right() <= right() && r.bottom() <= bottom();
    }
    bool overlaps(const Rect& r) const { return r.x < right() && x < r.right() && r.y < bottom() && y < r.bottom(); }
};

// Centred on `area` where it holds the window; where it does not, the
// window's top-left corner stays on it, so that its title bar and menu can
// be reached.
Point centred_on(const Rect& area, Size size);

// Where a tool window of `size` first opens beside the configuration window
// `owner` so that it hides neither it nor the tool windows `open` already:
// to the owner's right, else its left, below or above, level with its top
// or left edge as far as the area allows; else wherever the area has room,
// nearest the owner. Where there is no room, the windows cascade from the
// area's right edge at the owner's top, each a title bar further on, the
// top-left corner always on the area.
Point tool_window_place(const Rect& area, const Rect& owner, const std::vector<Rect>& open, Size size);

}  // namespace vor3::form
